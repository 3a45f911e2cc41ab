#include "ftdi/FtdiHints.h"

#include <libusb.h>

#include <cstdio>

namespace pw::ftdi {

const char* const kUdevRule =
    "SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", ATTRS{idVendor}==\"0403\", ATTRS{idProduct}==\"6001\", "
    "MODE=\"0664\", GROUP=\"plugdev\", TAG+=\"uaccess\"";

namespace {

std::string UdevAdvice() {
  return std::string(
             "Установите правило udev (устанавливается вместе с программой как "
             "60-pinwright-ft232r.rules):\n  ") +
         kUdevRule +
         "\nзатем выполните «sudo udevadm control --reload-rules && sudo udevadm trigger», "
         "переподключите программатор и добавьте себя в группу plugdev.";
}

std::string DevicePath(int bus, int address) {
  char path[32];
  std::snprintf(path, sizeof path, "/dev/bus/usb/%03d/%03d", bus, address);
  return path;
}

}  // namespace

std::string NoProgrammerHint(const std::string& serial, int found) {
  if (!serial.empty() && found > 0) {
    return "Программатора с серийным номером " + serial + " нет: найдено FT232R (0403:6001): " + std::to_string(found) +
           ". Номера показывает «lsusb -v -d 0403:6001 | grep iSerial».";
  }
  return "Программатор FT232R (0403:6001) не найден. Проверьте кабель USB; «lsusb» должен показать 0403:6001. "
         "Без программатора запустите программу с --simulator.";
}

std::string OpenFailureHint(int libusbError, int bus, int address) {
  const std::string path = DevicePath(bus, address);
  switch (libusbError) {
    case LIBUSB_ERROR_ACCESS:
      return "Нет прав на " + path + " (LIBUSB_ERROR_ACCESS). " + UdevAdvice();
    case LIBUSB_ERROR_BUSY:
      return "Программатор " + path + " занят другой программой (LIBUSB_ERROR_BUSY).";
    case LIBUSB_ERROR_NO_DEVICE:
      return "Программатор " + path + " отключён (LIBUSB_ERROR_NO_DEVICE).";
    default:
      return "Не удалось открыть " + path + " (ошибка libusb " + std::to_string(libusbError) + ").";
  }
}

std::string UsbSystemHint(const std::string& report) {
  return "Система USB недоступна: " + report + ". Без программатора запустите программу с --simulator.";
}

}  // namespace pw::ftdi

#pragma once
/// @file
/// FTDI's published FT_PROGRAM_DATA record (ftd2xx.h), in the layout that ends with the
/// FT232R fields. FT_EE_Read and FT_EE_Program move it.

#include <cstddef>
#include <cstdint>

namespace pw {

struct FT_PROGRAM_DATA {
  std::uint32_t Signature1;  ///< 0x00000000
  std::uint32_t Signature2;  ///< 0xFFFFFFFF
  std::uint32_t Version;
  std::uint16_t VendorId;
  std::uint16_t ProductId;
  char* Manufacturer;
  char* ManufacturerId;
  char* Description;
  char* SerialNumber;
  std::uint16_t MaxPower;  ///< mA
  std::uint16_t PnP;
  std::uint16_t SelfPowered;
  std::uint16_t RemoteWakeup;
  std::uint8_t Rev4;
  std::uint8_t IsoIn;
  std::uint8_t IsoOut;
  std::uint8_t PullDownEnable;
  std::uint8_t SerNumEnable;
  std::uint8_t USBVersionEnable;
  std::uint16_t USBVersion;
  std::uint8_t Rev5;
  std::uint8_t IsoInA;
  std::uint8_t IsoInB;
  std::uint8_t IsoOutA;
  std::uint8_t IsoOutB;
  std::uint8_t PullDownEnable5;
  std::uint8_t SerNumEnable5;
  std::uint8_t USBVersionEnable5;
  std::uint16_t USBVersion5;
  std::uint8_t AIsHighCurrent;
  std::uint8_t BIsHighCurrent;
  std::uint8_t IFAIsFifo;
  std::uint8_t IFAIsFifoTar;
  std::uint8_t IFAIsFastSer;
  std::uint8_t AIsVCP;
  std::uint8_t IFBIsFifo;
  std::uint8_t IFBIsFifoTar;
  std::uint8_t IFBIsFastSer;
  std::uint8_t BIsVCP;
  std::uint8_t UseExtOsc;
  std::uint8_t HighDriveIOs;
  std::uint8_t EndpointSize;
  std::uint8_t PullDownEnableR;
  std::uint8_t SerNumEnableR;
  std::uint8_t InvertTXD;
  std::uint8_t InvertRXD;
  std::uint8_t InvertRTS;
  std::uint8_t InvertCTS;
  std::uint8_t InvertDTR;
  std::uint8_t InvertDSR;
  std::uint8_t InvertDCD;
  std::uint8_t InvertRI;
  std::uint8_t Cbus0;
  std::uint8_t Cbus1;
  std::uint8_t Cbus2;
  std::uint8_t Cbus3;
  std::uint8_t Cbus4;
  std::uint8_t RIsD2XX;
};

/// Sizes of the text buffers the record points at.
inline constexpr std::size_t kFtManufacturerSize = 64;
inline constexpr std::size_t kFtManufacturerIdSize = 16;
inline constexpr std::size_t kFtDescriptionSize = 64;
inline constexpr std::size_t kFtSerialNumberSize = 16;

/// The fields after SerialNumber, MaxPower through RIsD2XX, span 55 bytes without padding.
inline constexpr std::size_t kFtTailOffset = offsetof(FT_PROGRAM_DATA, MaxPower);
inline constexpr std::size_t kFtTailSize = offsetof(FT_PROGRAM_DATA, RIsD2XX) + 1 - kFtTailOffset;
static_assert(kFtTailSize == 55);
static_assert(offsetof(FT_PROGRAM_DATA, USBVersion) - kFtTailOffset == 14);
static_assert(offsetof(FT_PROGRAM_DATA, USBVersion5) - kFtTailOffset == 24);
static_assert(offsetof(FT_PROGRAM_DATA, UseExtOsc) - kFtTailOffset == 36);
static_assert(offsetof(FT_PROGRAM_DATA, Cbus0) - kFtTailOffset == 49);

}  // namespace pw

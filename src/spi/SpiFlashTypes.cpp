#include "spi/SpiFlashTypes.h"

#include <charconv>
#include <stdexcept>

#include "common/HexDigits.h"
#include "ini/IniKeyProblem.h"

namespace pw {
namespace {

/// Raised inside the reader; becomes the result's problem line.
struct BadKey : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Reader {
 public:
  Reader(const IniFile& ini, const std::string& section) : ini_(ini), section_(section) {}

  [[noreturn]] void Bad(const std::string& key, const std::string& value, const std::string& need) const {
    throw BadKey(IniKeyProblem(kSpiFlashTypesFile, section_, key, value, need));
  }
  std::string Text(const std::string& key, const std::string& def) const {
    if (def.empty() && !ini_.HasKey(section_, key)) Bad(key, "", "ключ не задан");
    return ini_.ReadString(section_, key, def);
  }
  static std::optional<std::uint64_t> Parse(const std::string& text, int base) {
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
  }
  std::uint64_t Hex(const std::string& key, const std::string& text, std::size_t digits,
                    const std::string& need) const {
    const auto value = Parse(text, 16);
    if (!value || text.size() > digits) Bad(key, text, need);
    return *value;
  }
  std::uint8_t HexByte(const std::string& key, const std::string& def) const {
    const std::string text = Text(key, def);
    return static_cast<std::uint8_t>(Hex(key, text, 2, "нужен байт в hex"));
  }
  SpiFlashErase Erase(const std::string& key, const std::string& def) const {
    const std::string text = Text(key, def);
    const auto colon = text.find(':');
    const auto bytes = colon == std::string::npos ? std::nullopt : Parse(text.substr(colon + 1), 10);
    if (!bytes || !PowerOfTwo(*bytes) || *bytes > kSpiFlashMostBytes) {
      Bad(key, text, "нужно КОМАНДА:БАЙТ, команда в hex, байт - степень двух");
    }
    return {static_cast<std::uint8_t>(Hex(key, text.substr(0, colon), 2, "нужно КОМАНДА:БАЙТ")),
            static_cast<std::uint32_t>(*bytes)};
  }
  SpiFlashTime Time(const std::string& key) const {
    const std::string text = Text(key, "");
    const auto comma = text.find(',');
    const auto typical = comma == std::string::npos ? std::nullopt : Parse(text.substr(0, comma), 10);
    const auto maximum = comma == std::string::npos ? std::nullopt : Parse(text.substr(comma + 1), 10);
    if (!typical || !maximum || *maximum == 0 || *typical > *maximum || *maximum > 10'000'000) {
      Bad(key, text, "нужно ТИПИЧНОЕ,НАИБОЛЬШЕЕ, 0 < наибольшее <= 10000000, типичное не больше");
    }
    return {static_cast<std::uint32_t>(*typical), static_cast<std::uint32_t>(*maximum)};
  }
  static bool PowerOfTwo(std::uint64_t v) { return v != 0 && (v & (v - 1)) == 0; }

 private:
  const IniFile& ini_;
  const std::string& section_;
};

JedecId IdOf(std::uint64_t value) {
  return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value)};
}

/// Jedec=, Size= and PageSize=.
void ReadSizes(const Reader& r, FlashType& t) {
  const std::string jedec = r.Text("Jedec", "");
  if (jedec.size() != 6) r.Bad("Jedec", jedec, "нужно 6 цифр hex: изготовитель, тип, объём");
  t.Id = IdOf(r.Hex("Jedec", jedec, 6, "нужно 6 цифр hex: изготовитель, тип, объём"));
  const std::string size = r.Text("Size", "");
  const auto bytes = Reader::Parse(size, 10);
  if (!bytes || !Reader::PowerOfTwo(*bytes) || *bytes < 4096 || *bytes > kSpiFlashMostBytes) {
    r.Bad("Size", size, "нужно число байт, степень двух от 4096 до " + std::to_string(kSpiFlashMostBytes));
  }
  t.Size = static_cast<std::uint32_t>(*bytes);
  const std::string page = r.Text("PageSize", "256");
  const auto pageBytes = Reader::Parse(page, 10);
  if (!pageBytes || !Reader::PowerOfTwo(*pageBytes) || *pageBytes > 4096) {
    r.Bad("PageSize", page, "нужно число байт, степень двух не больше 4096");
  }
  t.PageSize = static_cast<std::uint32_t>(*pageBytes);
}

/// SectorErase=, BlockErase= and ChipErase=.
void ReadErases(const Reader& r, FlashType& t) {
  t.Sector = r.Erase("SectorErase", "20:4096");
  t.Block = r.Erase("BlockErase", "D8:65536");
  // A write erases whole sectors and refills them page by page: pages must tile sectors, sectors the chip.
  if (t.Sector.Bytes < t.PageSize || t.Sector.Bytes > t.Size) {
    r.Bad("SectorErase", r.Text("SectorErase", "20:4096"),
          "сектор должен быть не меньше страницы и не больше микросхемы");
  }
  if (t.Block.Bytes < t.Sector.Bytes || t.Block.Bytes > t.Size) {
    r.Bad("BlockErase", r.Text("BlockErase", "D8:65536"), "блок должен быть не меньше сектора и не больше микросхемы");
  }
  t.ChipErase = r.HexByte("ChipErase", "C7");
}

/// StatusBusy= and StatusProtect=.
void ReadStatusBits(const Reader& r, FlashType& t) {
  t.StatusBusy = r.HexByte("StatusBusy", "01");
  if (!Reader::PowerOfTwo(t.StatusBusy)) r.Bad("StatusBusy", r.Text("StatusBusy", "01"), "нужен один бит");
  t.StatusProtect = r.HexByte("StatusProtect", "1C");
  if ((t.StatusProtect & (t.StatusBusy | 0x02)) != 0) {
    r.Bad("StatusProtect", r.Text("StatusProtect", "1C"), "биты занятости и разрешения записи не защита");
  }
}

/// The four times and Program=.
void ReadProgramming(const Reader& r, FlashType& t) {
  t.PageProgramUs = r.Time("PageProgramUs");
  t.SectorEraseMs = r.Time("SectorEraseMs");
  t.BlockEraseMs = r.Time("BlockEraseMs");
  t.ChipEraseMs = r.Time("ChipEraseMs");
  const std::string program = r.Text("Program", "page");
  if (SameName(program, "page") || SameName(program, "aai")) {
    t.Writable = true;
    t.Aai = SameName(program, "aai");
  } else if (SameName(program, "byte")) {
    t.Writable = false;
  } else {
    r.Bad("Program", program, "нужно page, aai или byte");
  }
}

/// FourByte=: needed above 16 MiB; with the chip's own 4-byte commands, its erases must have them.
void ReadAddressing(const Reader& r, FlashType& t) {
  const std::string text = r.Text("FourByte", "none");
  if (SameName(text, "enter")) {
    t.FourByte = SpiFourByte::EnterExit;
  } else if (SameName(text, "enterwren")) {
    t.FourByte = SpiFourByte::EnterExitAfterWriteEnable;
  } else if (SameName(text, "opcodes")) {
    t.FourByte = SpiFourByte::Opcodes;
  } else if (!SameName(text, "none")) {
    r.Bad("FourByte", text, "нужно none, enter, enterwren или opcodes");
  }
  if (t.Size > kSpiFlashThreeByteBytes && t.FourByte == SpiFourByte::None) {
    r.Bad("Size", r.Text("Size", ""),
          "больше " + std::to_string(kSpiFlashThreeByteBytes) + " байт нужен FourByte=enter, enterwren или opcodes");
  }
  const bool hasOpcodes = SpiFourByteOpcode(t.Sector.Command) && SpiFourByteOpcode(t.Block.Command);
  if (t.FourByte == SpiFourByte::Opcodes && !hasOpcodes) {
    r.Bad("FourByte", text, "4-байтные команды стирания есть только у 20 и D8");
  }
}

/// ReadMHz=: the fastest clock of the Read Data command (0x03).
void ReadClock(const Reader& r, FlashType& t) {
  const std::string text = r.Text("ReadMHz", std::to_string(kSpiDefaultReadMHz));
  const auto mhz = Reader::Parse(text, 10);
  if (!mhz || *mhz == 0 || *mhz > 1000) r.Bad("ReadMHz", text, "нужно число МГц от 1 до 1000");
  t.ReadMHz = static_cast<std::uint32_t>(*mhz);
}

FlashType Read(const Reader& r, const std::string& section) {
  FlashType t;
  t.Name = section;
  ReadSizes(r, t);
  ReadErases(r, t);
  ReadStatusBits(r, t);
  ReadProgramming(r, t);
  ReadAddressing(r, t);
  ReadClock(r, t);
  return t;
}

}  // namespace

FlashTypeResult ReadSpiFlashType(const IniFile& types, const std::string& section) {
  if (!types.HasSection(section))
    return {std::nullopt, "Ошибка: в файле " + std::string(kSpiFlashTypesFile) + " нет типа [" + section + "]"};
  try {
    return {Read(Reader(types, section), section), ""};
  } catch (const BadKey& e) {
    return {std::nullopt, e.what()};
  }
}

std::optional<std::string> FindSpiFlashSection(const IniFile& types, const JedecId& id) {
  for (const std::string& section : types.SectionNames()) {
    const std::string text = types.ReadString(section, "Jedec", "");
    const auto value = text.size() == 6 ? Reader::Parse(text, 16) : std::nullopt;
    if (value && IdOf(*value) == id) return section;
  }
  return std::nullopt;
}

std::optional<std::uint8_t> SpiFourByteOpcode(std::uint8_t command) {
  switch (command) {
    case 0x03:
      return 0x13;
    case 0x02:
      return 0x12;
    case 0x20:
      return 0x21;
    case 0xD8:
      return 0xDC;
    default:
      return std::nullopt;
  }
}

std::string JedecText(const JedecId& id) {
  return HexDigits(id[0], 2) + " " + HexDigits(id[1], 2) + " " + HexDigits(id[2], 2);
}

}  // namespace pw

#pragma once
/// @file
/// Why a flash on the AVR header does not answer its JEDEC ID.

#include "frame/Diagnosis.h"
#include "spi/SpiFlashTypes.h"

namespace pw {

/// What an ID of FF FF FF or 00 00 00 (read again after Release from Deep Power-down) means.
Diagnosis DiagnoseSilentFlash(const JedecId& id);

}  // namespace pw

#include "pic/PicPage.h"

#include <string>

namespace pw {

PicPage::PicPage(FormContext& context) : ctx_(context) {
  for (int i = 0; i < 32; ++i) {
    const Bounds box{8 + (i / 8) * 86, 18 + (i % 8) * 17, 82, 16};
    PicFuse.emplace_back("PicFuse" + std::to_string(i + 1), "PicConfigGroup", box, "");
  }
}

void PicPage::Startup() {
  // The device types of PIC.ini come with the PIC pages.
}

std::vector<ControlRef> PicPage::Controls() {
  std::vector<ControlRef> list = {&PIC,         &PicType,     &PicFile,     &PicReadDump, &PicEraseAll,  &PicWriteDump,
                                  &PicPathFls,  &PicFlash,    &PicParamFls, &PicReadFls,  &PicWriteFls,  &PicEeprom,
                                  &PicParamEep, &PicReadEep,  &PicWriteEep, &PicProgress, &PicIDGroup,   &PicID,
                                  &PicGroupDop, &PicDop,      &Edit1,       &PicConfigGroup};
  for (auto& fuse : PicFuse) list.push_back(&fuse);
  list.push_back(&PicReadFuse);
  list.push_back(&PicWriteFuse);
  return list;
}

}  // namespace pw

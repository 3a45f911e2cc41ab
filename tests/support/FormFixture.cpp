#include "support/FormFixture.h"

namespace pw::test {

std::string FormFixture::DefaultSpeedTxt() { return "300\n600\n1200\n2400\n4800\n9600\n14400\n19200\n38400\n"; }

FormFixture::FormFixture(const std::string& bench, const std::string& speedTxt) {
  std::filesystem::create_directories(ProgramDir());
  std::filesystem::create_directories(WorkingDir());
  if (!speedTxt.empty()) Dir.Write("work/speed.txt", speedTxt);
  Bench = bench.empty() ? sim::Bench::Default() : sim::Bench::FromText(bench, Dir.Path());
}

void FormFixture::InstallDataFile(const std::string& name) {
  std::filesystem::copy_file(SourceDir() / "data" / name, ProgramDir() / name,
                             std::filesystem::copy_options::overwrite_existing);
}

TForm1& FormFixture::Start() {
  Form = std::make_unique<TForm1>(Sim(), Host, FormPaths{ProgramDir(), Dir / "installed", WorkingDir()});
  Form->FormCreate();
  return *Form;
}

}  // namespace pw::test

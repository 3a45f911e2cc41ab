#include "backend/Backend.h"

#include "backend/AbsentD2xx.h"
#include "ftdi/FtdiD2xx.h"

namespace pw {

std::unique_ptr<Backend> Backend::Simulated(const std::optional<std::filesystem::path>& bench,
                                            const std::optional<std::filesystem::path>& trace) {
  auto backend = std::make_unique<Backend>();
  backend->bench_ = bench ? sim::Bench::FromFile(*bench) : sim::Bench::Default();
  if (trace) backend->bench_->Programmer().StartTrace(*trace);
  backend->driver_ = &backend->bench_->Programmer();
  return backend;
}

std::unique_ptr<Backend> Backend::Hardware(const std::string& serial) {
  auto backend = std::make_unique<Backend>();
  auto driver = std::make_unique<ftdi::FtdiD2xx>(ftdi::OptionsFromEnvironment(serial));
  const ftdi::FtdiD2xx* real = driver.get();
  backend->hint_ = [real] { return real->Hint(); };
  backend->driver_ = driver.get();
  backend->owned_ = std::move(driver);
  return backend;
}

std::string Backend::Hint() const { return hint_ ? hint_() : std::string(); }

std::unique_ptr<Backend> Backend::Absent() {
  auto backend = std::make_unique<Backend>();
  backend->owned_ = std::make_unique<AbsentD2xx>();
  backend->driver_ = backend->owned_.get();
  return backend;
}

void Backend::Finish() {
  if (bench_) {
    bench_->Programmer().StopTrace();
    bench_->Save();
  }
}

FormPaths ProgramPaths() {
  FormPaths paths;
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) paths.ProgramDir = exe.parent_path();
  // An installed tree may have been moved or installed with another prefix: its data folder
  // beside bin/ wins over the one the build was configured for.
  const auto besideBin = paths.ProgramDir.parent_path() / "share" / "pinwright";
  paths.DataDir = !paths.ProgramDir.empty() && std::filesystem::is_directory(besideBin, ec)
                      ? besideBin
                      : std::filesystem::path(PINWRIGHT_INSTALL_DATA_DIR);
  paths.WorkingDir = std::filesystem::current_path(ec);
  return paths;
}

}  // namespace pw

#include <string>
#include <vector>

#include "cli/CliRun.h"

int main(int argc, char** argv) { return pw::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc)); }

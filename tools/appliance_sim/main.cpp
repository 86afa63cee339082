// The appliance simulator: see HelpText() or run it with --help.
#include "SimOptions.h"
#include "Simulator.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    std::string error;
    const std::optional<tarvex::sim::SimOptions> options =
        tarvex::sim::ParseOptions(argc, argv, error);
    if (!options) {
        std::cerr << "appliance_sim: " << error << '\n';
        return 2;
    }
    if (options->help) {
        std::cout << tarvex::sim::HelpText();
        return 0;
    }
    std::ofstream file;
    if (!options->logFile.empty()) {
        file.open(options->logFile, std::ios::app);
        if (!file) {
            std::cerr << "appliance_sim: cannot open " << options->logFile << '\n';
            return 2;
        }
    }
    tarvex::sim::Simulator simulator(*options, file.is_open() ? file : std::cout);
    return simulator.run();
}

// The command families of the tool; main.cpp joins their tables.
#pragma once

#include <vector>

#include "Args.h"

namespace ostrel::commands {

std::vector<Command> info();
std::vector<Command> attributes();
std::vector<Command> streams();
std::vector<Command> devices();  // i2c, qsfp, route
std::vector<Command> dspReset();
std::vector<Command> firmware();
std::vector<Command> bitfiles();
std::vector<Command> errors();

}  // namespace ostrel::commands

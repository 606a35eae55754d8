#include "ConvertCommand.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    return ConvertCommand::run(std::vector<std::string>(argv + 1, argv + argc));
}

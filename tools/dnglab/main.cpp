// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConvertCommand.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    return ConvertCommand::run(std::vector<std::string>(argv + 1, argv + argc));
}

// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The DNG re-packer on any bytes: it either refuses them with its own error
// or writes a file whose directories read back and hold a raw image.
#include "ConvertCommand.h"
#include "TiffTree.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void check(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> input(data, data + size);
    for (const bool keep : {true, false}) {
        ConvertCommand command;
        command.keepPreviews = keep;
        command.keepThumbnail = keep;
        std::vector<uint8_t> output;
        try {
            output = command.convert(input);
        } catch (const DngError&) {
            continue;
        }
        if (output.empty())
            continue; // already compressed
        try {
            const TiffTree again = TiffTree::parse(output);
            check(!again.chain.empty(), "the new file has no directory");
        } catch (const DngError&) {
            check(false, "the new file does not read back");
        }
    }
    return 0;
}

// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TiffDirectory.h"
#include "TiffTree.h"

#include <cstdint>
#include <string>
#include <vector>

// `dnglab convert --compression lossless --embed-raw false
//  [--dng-preview BOOL] [--dng-thumbnail BOOL] [-f] IN OUT`: writes OUT as IN
// with its raw image re-packed losslessly and, when asked, without previews or
// thumbnail. OUT appears only once complete.
class ConvertCommand {
public:
    // Exit status; messages go to standard error, a note to standard output.
    static int run(const std::vector<std::string>& args);

    // The new file's bytes; empty when the raw image is already compressed
    // and nothing else was asked.
    std::vector<uint8_t> convert(const std::vector<uint8_t>& input);

    bool keepPreviews = true;
    bool keepThumbnail = true;

private:
    void parse(const std::vector<std::string>& args);
    void promoteRaw(TiffTree& tree) const;

    std::string input_;
    std::string output_;
    bool force_ = false;
};

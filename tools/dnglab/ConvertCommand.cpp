// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConvertCommand.h"

#include "DngWriter.h"
#include "RawImageReader.h"
#include "RawRepacker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

namespace {

constexpr uint16_t rawImageDigest = 50972, newRawImageDigest = 51111;

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

bool isReducedResolution(const TiffDirectory& directory, ByteOrder order)
{
    const TiffEntry* type = directory.find(TiffTag::newSubFileType);
    return type && (order.number(*type, 0) & 1);
}

bool isRaw(const TiffDirectory& directory, ByteOrder order)
{
    const TiffEntry* photometric = directory.find(TiffTag::photometric);
    if (!photometric || isReducedResolution(directory, order))
        return false;
    const uint32_t kind = order.number(*photometric, 0);
    return kind == cfaPhotometric || kind == linearRawPhotometric;
}

TiffDirectory* findRaw(std::vector<TiffDirectory>& directories, ByteOrder order)
{
    for (TiffDirectory& directory : directories) {
        if (isRaw(directory, order))
            return &directory;
        if (TiffDirectory* inside = findRaw(directory.subDirectories, order))
            return inside;
    }
    return nullptr;
}

bool parseFlag(const std::string& value)
{
    if (value == "true" || value == "yes")
        return true;
    if (value == "false" || value == "no")
        return false;
    throw UsageError("expected true or false, not '" + value + "'");
}

std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw DngError("cannot open " + path + ": " + std::strerror(errno));
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || uint64_t(size) > 0xFFFFFFFFull)
        throw DngError(path + " is not a classic TIFF file of at most 4 GB");
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size))
        throw DngError("cannot read " + path);
    return bytes;
}

// Beside the destination under a hidden name, flushed, then renamed over it.
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const std::filesystem::path target(path);
    std::string hidden(".");
    hidden.append(target.filename().string()).append(".XXXXXX");
    std::string temporary = (target.parent_path() / hidden).string();
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
        throw DngError("cannot create a file beside " + path + ": " + std::strerror(errno));
    const mode_t mask = umask(0);
    umask(mask);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    const bool written = done == bytes.size() && fchmod(fd, 0666 & ~mask) == 0 && fsync(fd) == 0;
    const int error = errno;
    if (::close(fd) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        throw DngError("cannot write " + path + ": " + std::strerror(written ? errno : error));
    }
}

// Fields that describe the thumbnail's own pixels, not the picture.
bool describesImageData(uint16_t tag)
{
    static constexpr uint16_t tags[] = {254, 255, 256, 257, 258, 259, 262, 266, 273, 277, 278, 279, 280, 281, 284,
                                        317, 322, 323, 324, 325, 330, 338, 339, 513, 514, 529, 530, 531, 532};
    return std::find(std::begin(tags), std::end(tags), tag) != std::end(tags);
}

void dropPreviews(std::vector<TiffDirectory>& directories, ByteOrder order)
{
    for (TiffDirectory& directory : directories) {
        std::erase_if(directory.subDirectories,
                      [&](const TiffDirectory& sub) { return isReducedResolution(sub, order); });
        dropPreviews(directory.subDirectories, order);
    }
}

} // namespace

int ConvertCommand::run(const std::vector<std::string>& args)
{
    ConvertCommand command;
    try {
        command.parse(args);
        if (!command.force_ && std::filesystem::exists(command.output_))
            throw DngError(command.output_ + " exists (use -f to replace it)");
        const std::vector<uint8_t> result = command.convert(readFile(command.input_));
        if (result.empty()) {
            std::cout << "dnglab: the raw image is already compressed; nothing written\n";
            return 0;
        }
        writeFile(command.output_, result);
        return 0;
    } catch (const UsageError& error) {
        std::cerr << "dnglab: " << error.what() << "\nusage: dnglab convert --compression lossless --embed-raw false"
                  << " [--dng-preview BOOL] [--dng-thumbnail BOOL] [-f] INPUT OUTPUT\n";
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "dnglab: " << command.input_ << ": " << error.what() << "\n";
        return 1;
    }
}

void ConvertCommand::parse(const std::vector<std::string>& args)
{
    if (args.empty() || args[0] != "convert")
        throw UsageError("the only command is convert");
    std::vector<std::string> paths;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--compression" || arg == "--embed-raw" || arg == "--dng-preview"
                                || arg == "--dng-thumbnail";
        if (takesValue && i + 1 >= args.size())
            throw UsageError(arg + " needs a value");
        if (arg == "--compression" && args[++i] != "lossless")
            throw UsageError("only lossless compression is supported");
        else if (arg == "--embed-raw" && parseFlag(args[++i]))
            throw UsageError("embedding the original file is not supported");
        else if (arg == "--dng-preview")
            keepPreviews = parseFlag(args[++i]);
        else if (arg == "--dng-thumbnail")
            keepThumbnail = parseFlag(args[++i]);
        else if (arg == "-f" || arg == "--override")
            force_ = true;
        else if (!takesValue && arg.size() > 1 && arg[0] == '-')
            throw UsageError("unknown option " + arg);
        else if (!takesValue)
            paths.push_back(arg);
    }
    if (paths.size() != 2)
        throw UsageError("expected an input and an output file");
    input_ = paths[0];
    output_ = paths[1];
}

std::vector<uint8_t> ConvertCommand::convert(const std::vector<uint8_t>& input)
{
    TiffTree tree = TiffTree::parse(input);
    TiffDirectory* raw = findRaw(tree.chain, tree.order);
    if (!raw)
        throw DngError("no raw image (a full-resolution colour filter array or linear raw directory) found");
    const TiffEntry* compression = raw->find(TiffTag::compression);
    const bool compressed = compression && tree.order.number(*compression, 0) != 1;
    if (compressed && keepPreviews && keepThumbnail)
        return {};
    RawRepacker repacker;
    if (!compressed) {
        repacker.repack(*raw, RawImageReader::read(input, *raw), tree.order);
        // The newer digest is taken tile by tile: a stale one would call the
        // file damaged, and it cannot be recomputed here. Both are optional.
        for (uint16_t digest : {rawImageDigest, newRawImageDigest}) {
            tree.chain[0].remove(digest);
            raw->remove(digest);
        }
    }
    if (!keepThumbnail)
        promoteRaw(tree);
    if (!keepPreviews) {
        // The first directory holds the file's metadata: it stays, whatever it shows.
        const auto previews = std::remove_if(tree.chain.begin() + 1, tree.chain.end(), [&](const TiffDirectory& d) {
            return isReducedResolution(d, tree.order);
        });
        tree.chain.erase(previews, tree.chain.end());
        dropPreviews(tree.chain, tree.order);
    }
    return DngWriter::write(tree.chain, tree.order);
}

// The first directory is usually the thumbnail and holds the file's metadata;
// the raw image takes its place and its metadata, and the thumbnail is gone.
void ConvertCommand::promoteRaw(TiffTree& tree) const
{
    if (tree.chain.empty() || !isReducedResolution(tree.chain[0], tree.order))
        return;
    TiffDirectory& first = tree.chain[0];
    const auto rawAt = std::find_if(first.subDirectories.begin(), first.subDirectories.end(),
                                    [&](const TiffDirectory& d) { return isRaw(d, tree.order); });
    if (rawAt == first.subDirectories.end())
        return;
    TiffDirectory promoted = std::move(*rawAt);
    first.subDirectories.erase(rawAt);
    for (const TiffEntry& entry : first.entries)
        if (!describesImageData(entry.tag) && !promoted.find(entry.tag))
            promoted.entries.push_back(entry);
    for (auto& [tag, pointed] : first.pointed)
        if (!promoted.pointed.count(tag))
            promoted.pointed[tag] = std::move(pointed);
    for (TiffDirectory& sub : first.subDirectories)
        promoted.subDirectories.push_back(std::move(sub));
    tree.chain[0] = std::move(promoted);
}

// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <zlib.h>

using namespace TestSupport;

namespace {

// Bombs: files of a few bytes whose headers claim more pixels than any
// machine should decode. Each is a shipped image with its size rewritten.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray png = readFile(dataFile("png/pingus-flag3.png"));
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    const auto crc = quint32(crc32(0, reinterpret_cast<const Bytef*>(png.constData() + 12), 17));
    qToBigEndian(crc, png.data() + 29);
    return png;
}

QByteArray gifClaiming(quint16 width, quint16 height, int frames)
{
    auto word = [](quint16 value) { return QByteArray(1, char(value & 0xFF)) + char(value >> 8); };
    QByteArray gif = "GIF89a" + word(width) + word(height) + QByteArray("\x80\0\0\0\0\0\xff\xff\xff", 9);
    for (int frame = 0; frame < frames; ++frame)
        gif += "," + word(0) + word(0) + word(1) + word(1) + QByteArray("\0\x02\x02\x44\x01\0", 6);
    return gif + ";";
}

QByteArray webpCanvas(quint32 width, quint32 height)
{
    QByteArray webp = readFile(dataFile("odd/derived-wordpress-spinner-animated.webp"));
    const qsizetype at = webp.indexOf("VP8X") + 12;
    for (int i = 0; i < 3; ++i) {
        webp[at + i] = char(((width - 1) >> (8 * i)) & 0xFF);
        webp[at + 3 + i] = char(((height - 1) >> (8 * i)) & 0xFF);
    }
    return webp;
}

// Runs the command in a private home, with its images in `in`.
class HostileInput : public ::testing::Test {
protected:
    void SetUp() override { QDir().mkpath(in); }
    QTemporaryDir root;
    const QProcessEnvironment env = privateEnvironment(root.path());
    const QString in = root.filePath("in"), out = root.filePath("out");
};

} // namespace

// Refused from its header alone, whatever its bytes: no decoder or tool gets
// to allocate for it. The run is held to 4 GiB, so that a regression fails
// here instead of taking the machine.
TEST_F(HostileInput, ImagesClaimingTooManyPixelsFailBeforeAnyToolRuns)
{
    const QString huge = "60000 × 60000 pixels is more than this app handles (400 megapixels)";
    const struct {
        const char* name;
        QByteArray bytes;
        QString said;
    } cases[] = {
        {"bomb.jpg", jpegClaiming(60000, 60000), huge},
        {"bomb.png", pngClaiming(60000, 60000), huge},
        {"bomb.gif", gifClaiming(60000, 60000, 1), huge},
        {"frames.gif", gifClaiming(10000, 10000, 5), "5 frames of 10000 × 10000 pixels are more than"},
        {"frames.webp", webpCanvas(16000, 16000), "36 frames of 16000 × 16000 pixels are more than"},
    };
    QStringList arguments{"--export", out, "--json", "--no-cache"};
    for (const auto& c : cases) {
        writeFile(QDir(in).filePath(c.name), c.bytes);
        arguments << QDir(in).filePath(c.name);
    }
    QString program = PRESSLY_BINARY_DIR "/bin/pressly";
#ifndef __SANITIZE_ADDRESS__ // its shadow memory alone is terabytes of address space
    arguments.prepend(program);
    arguments.prepend("--as=" + QString::number(qint64(4) << 30));
    program = "prlimit";
#endif
    const RunResult ran = run(program, arguments, env);
    EXPECT_EQ(ran.exitCode, 1) << qPrintable(ran.err);
    const QStringList lines = ran.out.split('\n', Qt::SkipEmptyParts);
    for (const auto& c : cases) {
        const auto line = std::find_if(lines.begin(), lines.end(),
                                       [&](const QString& l) { return l.contains(c.name); });
        ASSERT_NE(line, lines.end()) << c.name;
        const QJsonObject job = QJsonDocument::fromJson(line->toUtf8()).object();
        EXPECT_EQ(job["status"].toString(), "failed") << c.name;
        EXPECT_TRUE(job["error"].toString().contains(c.said)) << qPrintable(*line);
    }
}

// An export keeps each original's access, as cp does; what the app keeps
// about the user's files is the user's alone, whatever the umask.
TEST_F(HostileInput, ExportedCopiesAndTheAppsOwnFilesStayAsPrivateAsTheirOriginals)
{
    const struct {
        const char* name;
        QFile::Permissions given;
        int exported;
    } cases[] = {
        {"private.png", QFile::ReadOwner | QFile::WriteOwner, 0600},
        {"shared.png", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther,
         0644},
    };
    QString line = "umask 022; '" PRESSLY_BINARY_DIR "/bin/pressly' --quiet --export '" + out + "'";
    for (const auto& c : cases) {
        QFile::setPermissions(copyInto("png/pingus-flag3.png", in, c.name), c.given);
        line += " '" + QDir(in).filePath(c.name) + "'";
    }
    // The in-place run opens the results cache, which an export may not need.
    line += " && '" PRESSLY_BINARY_DIR "/bin/pressly' --quiet --in-place '" + out + "'";
    const RunResult ran = run("sh", {"-c", line}, env);
    ASSERT_EQ(ran.exitCode, 0) << qPrintable(ran.err);
    for (const auto& c : cases)
        EXPECT_EQ(modeOf(QDir(out).filePath(c.name)), c.exported) << c.name;
    const QString data = root.filePath("data/Pressly Pro"), config = root.filePath("config/Pressly");
    const std::pair<QString, int> own[] = {
        {data, 0700}, {data + "/results_cache.sqlite", 0600}, {config, 0700}, {config + "/Pressly Pro.conf", 0600}};
    for (const auto& [path, wanted] : own)
        EXPECT_EQ(modeOf(path), wanted) << qPrintable(path);
}

// A name is shown, never obeyed: its control characters are quoted as ls
// quotes them, in the result lines and on a terminal's progress line.
TEST_F(HostileInput, ControlCharactersInNamesReachNoTerminal)
{
    const std::pair<QString, QString> names[] = {{"ctrl\033[31m.png", "ctrl'$'\\033''[31m.png'"},
                                                 {"two\nlines.png", "two'$'\\n''lines.png'"},
                                                 {"it's\a.png", "it'\\''s'$'\\a''.png'"}};
    for (const auto& [name, shown] : names)
        copyInto("png/pingus-flag3.png", in, name);
    const QString program = PRESSLY_BINARY_DIR "/bin/pressly";
    const RunResult piped = run(program, {"--no-cache", "--export", out, in}, env);
    // script(1) gives it a terminal, where the progress line shows too.
    const RunResult terminal = run(
        "script", {"-qec", program + " --no-cache --export '" + out + "' '" + in + "'", "/dev/null"}, env);
    for (const RunResult& ran : {piped, terminal}) {
        EXPECT_EQ(ran.exitCode, 0) << qPrintable(ran.out + ran.err);
        for (const auto& [name, shown] : names) {
            EXPECT_FALSE((ran.out + ran.err).contains(name)) << qPrintable(shown);
            EXPECT_TRUE(ran.out.contains(shown)) << qPrintable(ran.out);
        }
    }
}

#pragma once

#include "tests/support/TempDir.h"

#include <QProcess>

#include <utility>
#include <vector>

// Compiles `files` (path inside the help file, contents) into `dir`/`name`.chm with chmcmd;
// false when that fails.
inline bool CompileHelp(const std::filesystem::path& dir, const std::string& name,
                        const std::vector<std::pair<std::string, std::string>>& files) {
    constexpr int kCompileTimeoutMs = 60000;
    const TempDir source;
    std::string project = "[OPTIONS]\nCompiled file=" + name + ".chm\n\n[FILES]\n";
    for (const auto& [path, contents] : files) {
        source.Write(path, contents);
        project += path + "\n";
    }
    source.Write(name + ".hhp", project);
    QProcess chmcmd;
    chmcmd.setWorkingDirectory(QString::fromStdString(source.Path().string()));
    chmcmd.start(QStringLiteral("chmcmd"),
                 {QStringLiteral("--no-html-scan"), QString::fromStdString(name + ".hhp")});
    std::error_code error;
    return chmcmd.waitForFinished(kCompileTimeoutMs) && chmcmd.exitCode() == 0 &&
           std::filesystem::copy_file(source / (name + ".chm"), dir / (name + ".chm"),
                                      std::filesystem::copy_options::overwrite_existing, error);
}

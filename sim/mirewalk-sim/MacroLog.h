#pragma once

#include <QFile>
#include <QString>

// Writes the substitute's log: one line per macro or event, with a timestamp,
// to standard output and to an optional file. Each line is flushed at once:
// tests read the file while the substitute runs.
class CMacroLog {
public:
    // An empty path logs to standard output only. Throws std::runtime_error
    // when the file cannot be opened.
    explicit CMacroLog(const QString& path);

    void Write(const char* kind, const QString& text);

    // The text made safe for one line.
    static QString Escape(const QString& text);

private:
    void WriteLine(const QByteArray& line);

    QFile m_stdout;
    QFile m_file;
};

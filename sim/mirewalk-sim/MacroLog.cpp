#include "sim/mirewalk-sim/MacroLog.h"

#include <QDateTime>

#include <stdexcept>
#include <unistd.h>

CMacroLog::CMacroLog(const QString& path) {
    if (!m_stdout.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        throw std::runtime_error("cannot write to standard output");
    }
    if (path.isEmpty()) {
        return;
    }
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        throw std::runtime_error("cannot open the log file " + path.toStdString() + ": " +
                                 m_file.errorString().toStdString());
    }
}

void CMacroLog::Write(const char* kind, const QString& text) {
    const QString time = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    WriteLine((time + QLatin1Char(' ') + QLatin1String(kind) + QLatin1Char(' ') + Escape(text) +
               QLatin1Char('\n'))
                  .toUtf8());
}

QString CMacroLog::Escape(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            escaped += QLatin1String("\\\\");
            break;
        case '\n':
            escaped += QLatin1String("\\n");
            break;
        case '\r':
            escaped += QLatin1String("\\r");
            break;
        case '\t':
            escaped += QLatin1String("\\t");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

void CMacroLog::WriteLine(const QByteArray& line) {
    // Unbuffered devices hand each line to the kernel in one write.
    m_stdout.write(line);
    if (m_file.isOpen()) {
        m_file.write(line);
    }
}

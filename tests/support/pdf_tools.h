// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What a PDF holds, read with poppler's pdfinfo and pdftotext.

#pragma once

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>
#include <vector>

namespace clampmeter::test {

/// Standard output of a tool, or nothing when it is missing or fails.
inline std::optional<QString> runTool(const QString& tool, const QStringList& arguments)
{
    if (QStandardPaths::findExecutable(tool).isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline bool havePdfTools()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

struct PdfInfo {
    int pages = 0;
    double width = 0.0; ///< of the first page, in points
    double height = 0.0;
};

inline std::optional<PdfInfo> pdfInfo(const QString& path)
{
    const std::optional<QString> out = runTool(QStringLiteral("pdfinfo"), {path});
    if (!out)
        return std::nullopt;
    PdfInfo info;
    const QRegularExpressionMatch pages = QRegularExpression(
        QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
                                              .match(*out);
    const QRegularExpressionMatch size
        = QRegularExpression(QStringLiteral("^Page size:\\s+([\\d.]+) x ([\\d.]+) pts"),
            QRegularExpression::MultilineOption)
              .match(*out);
    if (!pages.hasMatch() || !size.hasMatch())
        return std::nullopt;
    info.pages = pages.captured(1).toInt();
    info.width = size.captured(1).toDouble();
    info.height = size.captured(2).toDouble();
    return info;
}

/// The text of a PDF, pages in order, each line as laid out on paper.
inline std::optional<QString> pdfText(const QString& path)
{
    return runTool(
        QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
}

/// One word of a PDF with its box in points from the page's top-left corner.
struct PdfWord {
    int page = 0;
    QString text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

inline std::vector<PdfWord> pdfWords(const QString& path)
{
    std::vector<PdfWord> words;
    const std::optional<QString> html = runTool(
        QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!html)
        return words;
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    int page = 0;
    for (const QString& line : html->split(QLatin1Char('\n'))) {
        if (line.contains(QStringLiteral("<page ")))
            ++page;
        const QRegularExpressionMatch m = word.match(line);
        if (m.hasMatch())
            words.push_back({page, m.captured(5), m.captured(1).toDouble(),
                m.captured(2).toDouble(), m.captured(3).toDouble(), m.captured(4).toDouble()});
    }
    return words;
}

/// The first page drawn at `dpi` by poppler's pdftoppm, lines thinner than a pixel drawn a
/// pixel wide; a null image when the tool is missing or fails.
inline QImage pdfFirstPage(const QString& path, int dpi)
{
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("page"));
    if (!runTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-thinlinemode"),
                QStringLiteral("solid"), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                QStringLiteral("1"), path, stem}))
        return {};
    return QImage(stem + QStringLiteral(".png"));
}

} // namespace clampmeter::test

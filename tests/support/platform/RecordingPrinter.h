#pragma once
#include "platform/Printer.h"

#include <vector>

namespace platform {

// Keeps everything it is told, page by page.
class RecordingPrinter : public Printer {
public:
    struct Page {
        std::vector<QString> lines;
    };
    struct Document {
        std::vector<Page> pages;
        int orientation = orientPortrait;
        QString fontName;
        double fontSize = 0;
    };

    QString device = QStringLiteral("Recording printer");
    int failWith = 0;                   // answer every print call with this error
    std::vector<Document> finished;     // completed documents
    Document current;                   // the one being printed
    bool open = false;
    int columns = 0;                    // what a line holds (0: cannot tell)

    QString deviceName() const override { return device; }
    int orientation() const override { return m_orientation; }
    void setOrientation(int o) override { m_orientation = o; }
    QString fontName() const override { return m_fontName; }
    void setFontName(const QString& n) override { m_fontName = n; }
    double fontSize() const override { return m_fontSize; }
    void setFontSize(double p) override { m_fontSize = p; }
    int printLine(const QString& line) override;
    int newPage() override;
    int endDoc() override;
    int charactersPerLine(const QString&, double) const override { return columns; }
    // East Asian wide and full-width characters take two columns, every
    // other character one.
    int lineWidth(const QString&, double, const QString& line) const override;
    QStringList printers() const override { return {device}; }
    bool setupDialog() override { return false; }

private:
    void begin();
    int m_orientation = orientPortrait;
    QString m_fontName = QStringLiteral("Courier New");
    double m_fontSize = 10;
};

} // namespace platform

#pragma once
// The printer the print run writes to: one line at a time, page breaks, end
// of document; its device name, orientation and font. The real one lives in
// the Qt backend (ui/qt/QtPrinter); tests use RecordingPrinter.

#include <QString>
#include <QStringList>

#include <vector>

namespace platform {

enum PrinterOrientation : int { orientPortrait = 1, orientLandscape = 2 };

class Printer {
public:
    virtual ~Printer() = default;

    virtual QString deviceName() const = 0;
    virtual int orientation() const = 0;
    virtual void setOrientation(int orientation) = 0;
    virtual QString fontName() const = 0;
    virtual void setFontName(const QString& name) = 0;
    virtual double fontSize() const = 0;
    virtual void setFontSize(double points) = 0;

    // Each returns 0 or an error number (482 when the printer fails).
    virtual int printLine(const QString& line) = 0;
    virtual int newPage() = 0;
    virtual int endDoc() = 0;

    // The system's printers by name.
    virtual QStringList printers() const = 0;
    // The modal set-up dialog; true when the user accepted a choice.
    virtual bool setupDialog() = 0;
};

// The family that stands in for a font name on this system: the fixed-pitch
// "Courier New" family (and its Greek twin) maps to a metric-compatible
// monospace font, so columns of the 151-column layout stay aligned.
QString printerFontFamily(const QString& requested, const QStringList& installedFamilies);

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
    QStringList installed{QStringLiteral("Recording printer")};
    bool acceptSetup = false;
    int failWith = 0;                   // answer every print call with this error
    std::vector<Document> finished;     // completed documents
    Document current;                   // the one being printed
    bool open = false;
    int setupCalls = 0;

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
    QStringList printers() const override { return installed; }
    bool setupDialog() override;

private:
    void begin();
    int m_orientation = orientPortrait;
    QString m_fontName = QStringLiteral("Courier New");
    double m_fontSize = 10;
};

Printer& printer();
void setPrinter(Printer* p);   // installed by the Qt backend or a test

} // namespace platform

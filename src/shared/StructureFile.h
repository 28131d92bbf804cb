#pragma once
// The one reader of an exported-structure file. Every window that looks into
// such a file goes through here: the main window's Compare (the number of
// first-level folders), the folder inclusion window (the root and the
// folder names), the results window (the root for its path label), the
// comparison's import stage (everything) and the import check.
//
// The file, line by line:
//   1          T, the file's number of lines (a size for progress bars only)
//   2          the exported root folder, ending with "\"
//   3          F, the number of first-level folder names
//   4..3+F     those names
//   4+F        N, the number of records
//   then N records of 8 lines: Hidden, System, ReadOnly, Archive, Size,
//   Date, Time, full path. An empty folder's record holds the empty-folder
//   marker in its seven value lines and at the end of its path.
//
// Lines end at CR LF, a lone CR or a lone LF. A line that is valid UTF-8 is
// read as UTF-8, any other as Windows-1253 (files of the Windows era).
//
// The reader refuses what it cannot use and says where: a file that ends
// before the lines its header announces, a count that is not a whole number,
// a value that is not a flag, size, date or time, a record path that does
// not lie under the root, or a record that mixes the marker with a file's
// values. Field texts are normalised as they are read, so an accepted file
// compares like a live scan: flags "True"/"False", sizes of at least 10
// digits, dates YYYYMMDD and times HHMMSS without blanks, the marker exactly.

#include "shared/basGlobal.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>

namespace basGlobal {

// Why a line was refused.
enum class StructureFileFault {
    None,
    EndsEarly,          // the file ends before this line
    NotAWholeNumber,    // a count line
    BlankLine,          // the root, a folder name or a record path
    NotAFlag,           // Hidden, System, ReadOnly, Archive
    NotASize,
    NotADate,
    NotATime,
    PathOutsideRoot,    // a record path that does not begin with the root
    MarkerMixedIn,      // the marker among a file's values, or a value in an empty folder's record
};

// Where and why a file was refused (fault None: nothing refused).
struct StructureFileProblem {
    QString file;         // the file's name as the caller gave it
    qint64 line = 0;      // 1-based
    StructureFileFault fault = StructureFileFault::None;
    QString root;         // for PathOutsideRoot
};

// The sentence that names the file, the line and the fault, in the language
// asked for ("The structure file '...' cannot be used: line 12 ...").
QString StructureFileProblemText(const StructureFileProblem& problem, bool greek);

// Lines 1 to 4 + F.
struct StructureFileHeader {
    qint64 totalLines = 0;        // T
    QString root;                 // line 2 with its trailing "\" (added when missing)
    QStringList firstLevelFolders;
    qint64 recordCount = 0;       // N
};

// One record, its texts normalised; `path` is the full path as written.
struct StructureFileRecord {
    QString hidden, system, readOnly, archive, size, date, time;
    QString path;
    bool emptyFolder = false;
};

// Normalisers of one value line; false when the text is not such a value.
// The marker is not a value for them.
bool NormaliseFlagText(const QString& text, QString& out);
bool NormaliseSizeText(const QString& text, QString& out);
bool NormaliseDateText(const QString& text, QString& out);
bool NormaliseTimeText(const QString& text, QString& out);
// A count line: digits only (blanks around allowed), 0 to 2,147,483,647.
bool ParseCountText(const QString& text, qint64& out);

// Reads one file from its beginning. open() answers an error number (53 a
// missing file, 76 a missing folder or drive, 70 no right to read, 75 a
// folder); the read calls answer false with problem() set. The file stays
// open until the reader goes.
class StructureFileReader {
public:
    StructureFileReader();
    ~StructureFileReader();
    StructureFileReader(const StructureFileReader&) = delete;
    StructureFileReader& operator=(const StructureFileReader&) = delete;

    // `logicalFile` is the program's path of the file ("C:\...\x.txt").
    Long open(const QString& logicalFile);
    void close();

    // Line 1 only (the progress total); then readHeader() goes on from line 2.
    bool readTotalLines(qint64& total);
    // Lines 1 (unless read already) to 4 + F.
    bool readHeader(StructureFileHeader& header);
    // The next record; call it N times after readHeader().
    bool readRecord(StructureFileRecord& record);

    // The next raw line (without its end); false at the end of the file.
    bool nextLine(QString& line);
    // Lines read so far.
    qint64 linesRead() const { return m_line; }
    const StructureFileProblem& problem() const { return m_problem; }

private:
    bool refuse(StructureFileFault fault, qint64 line, const QString& root = QString());
    bool requireLine(QString& line);
    bool fill();

    std::unique_ptr<QFile> m_file;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_eof = false;
    qint64 m_line = 0;
    bool m_totalRead = false;
    qint64 m_total = 0;
    QString m_root;
    QString m_rootKey;
    StructureFileProblem m_problem;
};

// The root of a file (line 2, with its trailing "\"), for path labels.
// Reads two lines; 62 (input past end) when the file has fewer.
Long ReadStructureFileRoot(const QString& logicalFile, QString& root);

// Lines 1 to 4 + F. An error number from opening, or -1 with `problem` set
// when the header is refused.
Long ReadStructureFileHeader(const QString& logicalFile, StructureFileHeader& header,
                             StructureFileProblem* problem = nullptr);

} // namespace basGlobal

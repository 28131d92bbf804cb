#pragma once
// The one parser of exported-structure files. The import check, the
// comparison's import stage, the results window's path label and every other
// reader go through it, so a file that passed the check is read by all of
// them with the same rules. A check parses the file once and keeps the
// result as the side's accepted structure (AcceptStructure); the readers
// below serve an accepted file from that parse and never re-read the disk,
// so nothing that changed the file after the check can slip in.
//
// The file, line by line:
//   1          T, the file's number of lines (a size for progress bars only)
//   2          the exported root folder, ending with "\"
//   3          F, the number of first-level folder names
//   4..3+F     those names
//   4+F        N, the number of records (at least 1)
//   then N records of 8 lines: Hidden, System, ReadOnly, Archive, Size,
//   Date, Time, full path. An empty folder's record holds the empty-folder
//   marker in its seven value lines and at the end of its path.
// Lines after the last record are not read.
//
// Lines end at CR LF, a lone CR or a lone LF; a line longer than
// kStructureLineLimit bytes is invalid data at that line. Each line is
// decoded on its own: UTF-8 where valid, else Windows-1253 (files of the
// Windows era). A file that starts with a UTF-16 byte-order mark is read as
// UTF-16; a UTF-8 byte-order mark is skipped. Only regular files are opened.
//
// Beyond the line rules (see the functions below), a record the comparison
// could not use is invalid data at its line: the marker among a file's
// values or a value in an empty folder's record, a path outside the root,
// with an empty, "." or ".." component, or a file path ending in "\"; a
// path that an earlier record already gave (under the volume's case rule),
// a path that is a file in one record and a folder in another, and an
// empty folder's record for a folder that has files of its own (each at the
// path line of the later of the two records). A NUL character in the root,
// a folder name or a path is invalid data too.
// Records out of the exporter's order are put back in that order. Field
// texts are normalised as they are read, so an accepted file compares like a
// live scan: flags "True"/"False", sizes of at least 10 digits, dates
// YYYYMMDD and times HHMMSS without blanks or signs, the marker exactly.

#include "shared/basGlobal.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace basGlobal {

// Bytes of the longest line a structure file may hold (its end excluded).
inline constexpr qsizetype kStructureLineLimit = 32768;
// The largest value of line 1 and of the two counts.
inline constexpr qint64 kStructureCountMax = 2147483647;

// Why a line was refused.
enum class StructureFileFault {
    None,
    EndsEarly,          // the file ends before this line
    LineTooLong,        // longer than kStructureLineLimit
    NotAWholeNumber,    // a count line
    BlankLine,          // the root, a folder name or a record path
    NotAFlag,           // Hidden, System, ReadOnly, Archive
    NotASize,
    NotADate,
    NotATime,
    PathOutsideRoot,    // a record path that does not begin with the root
    BadRecordPath,      // an empty, "." or ".." component, or a file path ending in "\"
    MarkerMixedIn,      // the marker among a file's values, or a value in an empty folder's record
    DuplicatePath,      // a path an earlier record gave
    FileAndFolder,      // a path that is a file in one record and a folder in another
    MarkerBesideFiles,  // an empty folder's record for a folder with files
    NulCharacter,       // a NUL in the root, a folder name or a path
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

// The import check's own message: "File '...', contains invalid data at line n."
QString InvalidStructureDataText(const QString& file, qint64 line, bool greek);

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

// A whole file as the parser read it: complete when `problem` has no fault,
// else everything before the refused line.
struct ParsedStructure {
    StructureFileHeader header;
    bool headerComplete = false;
    std::vector<StructureFileRecord> records;
    StructureFileProblem problem;
    qint64 headerLines() const { return 4 + header.firstLevelFolders.size(); }
};

// --- The line rules (on the bytes of one line, its end excluded) -------------
// Whole-number text: an optional sign and ASCII digits only (no blank
// anywhere, no point), its value within lo..hi.
bool WholeNumberLine(QByteArrayView line, qint64 lo, qint64 hi, qint64* value = nullptr);
// Something besides blanks.
bool NonBlankLine(QByteArrayView line);
// The marker in any letter case, blanks around allowed.
bool MarkerLine(QByteArrayView line);
// A value line in its normalised text ("" when the line is not such a value;
// the marker is not a value).
QString FlagLineText(QByteArrayView line);
QString SizeLineText(QByteArrayView line);
QString DateLineText(QByteArrayView line);
QString TimeLineText(QByteArrayView line);

// --- Parsing -----------------------------------------------------------------
// Called after each line is read, before its rule is applied, and (the
// second hook) after the last record and while the records are put in
// order: every few thousand steps, and between the larger steps of freeing
// what the check and the ordering used. False stops the parse (a cancel).
using StructureLineHook = std::function<bool()>;

enum class ParseOutcome { Parsed, Refused, Stopped, CannotOpen };

// The check of each record against the records before it that a parse
// applies. The parse starts it once the header is read, hands it each
// record as soon as the record's own lines passed (the last of `records`),
// is refused at the first fault it answers, and releases it after the last
// record, before the records are put in order.
class StructureRecordCheck {
public:
    virtual ~StructureRecordCheck() = default;
    // `records` is the parse's own list; paths begin with rootSize
    // characters of the root; the volume's case rule.
    virtual void start(const std::vector<StructureFileRecord>& records, qsizetype rootSize, bool caseSensitive) = 0;
    // Record k, the last read: None, or why it cannot stand beside the others.
    virtual StructureFileFault add(std::size_t k) = 0;
    // The records are read: whatever the check keeps is freed.
    virtual void release() = 0;
};

// Parses `logicalFile` ("C:\...\x.txt") from its beginning, with the
// program's check of records against each other (the same path twice, a
// file that is also a folder, an empty folder's record beside files; see
// the top of this file). CannotOpen sets `openError` (53 a missing file, 76
// a missing folder or drive, 70 no right to read, 75 a folder or something
// other than a plain file).
ParseOutcome ParseStructureFile(const QString& logicalFile, ParsedStructure& out, Long& openError,
                                const StructureLineHook& afterEachLine = {},
                                const StructureLineHook& whileOrdering = {});
// The same parse with `check` in place of the program's.
ParseOutcome ParseStructureFile(const QString& logicalFile, ParsedStructure& out, Long& openError,
                                StructureRecordCheck& check, const StructureLineHook& afterEachLine = {},
                                const StructureLineHook& whileOrdering = {});

// Line 1 only: 0 with `total`, an open error, or -1 with `problem` set.
Long ReadStructureFileTotal(const QString& logicalFile, qint64& total, StructureFileProblem& problem);

// --- Accepted structures ------------------------------------------------------
// The check's parse of side i's file, kept for every later reader.
void AcceptStructure(int side, const QString& logicalFile, std::shared_ptr<const ParsedStructure> parsed);
// The accepted parse of that file name (either side), or null.
std::shared_ptr<const ParsedStructure> AcceptedStructure(const QString& logicalFile);
void ForgetAcceptedStructures();

// --- Readers -------------------------------------------------------------------
// Reads one structure in the order of its lines: an accepted file from its
// parse, any other file parsed at open(). open() answers an error number
// (see ParseStructureFile); the read calls answer false with problem() set
// when they reach the refused line.
class StructureFileReader {
public:
    Long open(const QString& logicalFile);
    void close();

    // Line 1 (the progress total).
    bool readTotalLines(qint64& total);
    // Lines 1 to 4 + F.
    bool readHeader(StructureFileHeader& header);
    // The next record; call it N times after readHeader().
    bool readRecord(StructureFileRecord& record);

    // Lines served so far.
    qint64 linesRead() const { return m_line; }
    const StructureFileProblem& problem() const { return m_problem; }

private:
    bool failAt(qint64 line);

    std::shared_ptr<const ParsedStructure> m_parsed;
    std::size_t m_next = 0;
    qint64 m_line = 0;
    StructureFileProblem m_problem;
};

// The root of a file (line 2, with its trailing "\"), for path labels. An
// error number when the file cannot be opened; a file refused before its
// root gives 0 and an empty root: the import stage that reads it next names
// the fault in its own ordinary message.
Long ReadStructureFileRoot(const QString& logicalFile, QString& root);

// Lines 1 to 4 + F. An error number from opening, or -1 with `problem` set
// when the header is refused.
Long ReadStructureFileHeader(const QString& logicalFile, StructureFileHeader& header,
                             StructureFileProblem* problem = nullptr);

} // namespace basGlobal

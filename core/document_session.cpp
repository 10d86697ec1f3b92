#include "core/document_session.h"

#include <QStringList>

#include <utility>

namespace callvista {

namespace {

QString changedQuestion()
{
    return DocumentSession::tr("Callvista is Changed, Do you want to save your changes?");
}

QString documentExtension()
{
    return DocumentExtension.toString();
}

// One message, naming the file, for what the reader had to mend in a
// document it accepted; empty when it mended nothing.
QString readWarning(const QString& path, const ReadReport& report)
{
    QStringList notes;
    // One source text for one and one for more, so that the English reads
    // right without a translation; a translator gives every form of both.
    const int shortened = report.shortenedValues;
    if (shortened == 1)
        notes.append(DocumentSession::tr("%n value was longer than its column and was "
                                         "shortened; saving will store it shortened.",
                                         nullptr, shortened));
    else if (shortened > 1)
        notes.append(DocumentSession::tr("%n values were longer than their column and were "
                                         "shortened; saving will store them shortened.",
                                         nullptr, shortened));
    if (report.completedLastEntry)
        notes.append(DocumentSession::tr("The file ended inside its last entry; its missing "
                                         "fields are empty."));
    const int foreign = report.windows1252Lines;
    if (foreign == 1)
        notes.append(DocumentSession::tr("%n line was not UTF-8 text and was read as "
                                         "Windows-1252.",
                                         nullptr, foreign));
    else if (foreign > 1)
        notes.append(DocumentSession::tr("%n lines were not UTF-8 text and were read as "
                                         "Windows-1252.",
                                         nullptr, foreign));
    if (notes.isEmpty())
        return {};
    return DocumentSession::tr("\"%1\" was opened with these repairs:\n").arg(path)
           + notes.join(u'\n');
}

} // namespace

DocumentSession::DocumentSession(EntryStore& entries, UserPrompts& user, FileSystem& files,
                                 QObject* parent)
    : QObject(parent)
    , m_entries(entries)
    , m_user(user)
    , m_files(files)
{
}

QString DocumentSession::untitledCaption()
{
    return tr("<Untitled>");
}

QString DocumentSession::caption() const
{
    return m_path.value_or(untitledCaption());
}

void DocumentSession::setModified()
{
    setModifiedState(true);
}

void DocumentSession::setModifiedState(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit modificationChanged(modified);
}

void DocumentSession::named(const QString& path)
{
    m_path = path;
    setModifiedState(false);
    emit captionChanged(path);
}

bool DocumentSession::settleChangesBeforeReplacing()
{
    if (!m_modified)
        return true;
    switch (m_user.ask({changedQuestion(), tr("Alert"), MessageButtons::YesNoCancel})) {
    case MessageAnswer::Yes:
        // A cancelled Save As lets the command go on, as the user chose; a
        // save that failed ends it, since going on would drop the changes
        // that could not be written.
        return save() != SaveOutcome::Failed;
    case MessageAnswer::No:
        return true;
    default:
        return false;
    }
}

void DocumentSession::newDocument()
{
    if (!settleChangesBeforeReplacing())
        return;
    const std::optional<QString> path = m_user.choosePath(
        {tr("Enter a New Callvista FileName"), tr("Make"), true, documentExtension(), false});
    if (!path)
        return;
    m_entries.clearLines();
    m_search = {};
    emit documentReplaced(false);
    named(*path);
}

void DocumentSession::openDocument()
{
    if (!settleChangesBeforeReplacing())
        return;
    const std::optional<QString> path =
        m_user.choosePath({tr("Open a Callvista"), tr("Open"), false, documentExtension(), true});
    if (!path)
        return;
    if (const std::optional<Notice> notice = adoptRead(*path, loadDocumentFile(m_files, *path)))
        m_user.tell(notice->title, notice->text);
}

std::optional<DocumentSession::Notice> DocumentSession::adoptRead(const QString& path,
                                                                  Result<LoadedDocument>&& document)
{
    // The whole file was read before anything changes, so that a refused
    // file leaves the open document as it was.
    if (!document.ok())
        return Notice{tr("Error"), document.error()};
    m_entries.replaceLines(std::move(document->lines));
    m_search = {};
    emit documentReplaced(true);
    named(path);
    const QString warning = readWarning(path, document->report);
    if (warning.isEmpty())
        return std::nullopt;
    return Notice{tr("Warning"), warning};
}

DocumentSession::SaveOutcome DocumentSession::writeTo(const QString& path)
{
    const Result<void> written = writeDocumentFile(m_files, path, m_entries.lines());
    if (!written.ok()) {
        m_user.tell(tr("Error"), written.error());
        return SaveOutcome::Failed;
    }
    named(path);
    return SaveOutcome::Saved;
}

DocumentSession::SaveOutcome DocumentSession::save()
{
    if (!m_path)
        return saveAs();
    return writeTo(*m_path);
}

DocumentSession::SaveOutcome DocumentSession::saveAs()
{
    const std::optional<QString> path =
        m_user.choosePath({tr("Save as to"), tr("Save"), true, documentExtension(), false});
    if (!path)
        return SaveOutcome::Cancelled;
    return writeTo(*path);
}

DocumentSession::SaveOutcome DocumentSession::exportTo(const ExportFormat& format)
{
    const std::optional<QString> path = m_user.choosePath(format.chooser);
    if (!path)
        return SaveOutcome::Cancelled;
    const Result<void> written =
        writeEncodedFile(m_files, *path, format.encode(m_entries.lines(), caption()));
    if (!written.ok()) {
        m_user.tell(tr("Error"), written.error());
        return SaveOutcome::Failed;
    }
    return SaveOutcome::Saved;
}

bool DocumentSession::mayClose()
{
    if (!m_modified)
        return true;
    // Closing has no Cancel: the window closes whatever the answer, unless
    // the changes could not be written and would otherwise be lost.
    if (m_user.ask({changedQuestion(), tr("Alert"), MessageButtons::YesNo}) != MessageAnswer::Yes)
        return true;
    return save() != SaveOutcome::Failed;
}

} // namespace callvista

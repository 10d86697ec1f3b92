#include "core/document_session.h"

#include "core/recovery_store.h"

#include <QStringList>

#include <algorithm>
#include <utility>

namespace callvista {

namespace {

// A run of changes is copied once it pauses this long, and never later than
// CopyLatestMs after its first change: off the way of the next command, and
// at most two seconds of work lost to a crash.
constexpr qint64 CopyPauseMs = 500;
constexpr qint64 CopyLatestMs = 2000;

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
    m_copyTimer.setSingleShot(true);
    connect(&m_copyTimer, &QTimer::timeout, this, &DocumentSession::writeCopy);
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
    scheduleCopy();
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
    dropCopy();
    emit captionChanged(path);
}

void DocumentSession::keepCopiesIn(RecoveryStore* store)
{
    m_copyTimer.stop();
    m_store = store;
    m_copyPending = false;
    if (m_modified)
        scheduleCopy();
}

void DocumentSession::scheduleCopy()
{
    if (!m_store)
        return;
    if (!m_copyPending)
        m_pendingSince.start();
    m_copyPending = true;
    const qint64 left = CopyLatestMs - m_pendingSince.elapsed();
    m_copyTimer.start(int(std::clamp<qint64>(left, 0, CopyPauseMs)));
}

void DocumentSession::writeCopy()
{
    m_copyTimer.stop();
    if (!m_store || !m_copyPending)
        return;
    // A copy that cannot be written is tried again at the next change; the
    // document itself is as it was, and Save still reports its own failures.
    if (const Result<void> written = m_store->write(m_entries.lines(), m_path, m_file);
        !written.ok()) {
        qWarning("%s", qPrintable(written.error()));
        return;
    }
    m_copyPending = false;
}

void DocumentSession::writePendingCopy()
{
    writeCopy();
}

void DocumentSession::dropCopy()
{
    m_copyTimer.stop();
    m_copyPending = false;
    if (m_store)
        m_store->remove();
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
    m_file.reset();
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
    m_file = document->file;
    emit documentReplaced(true);
    named(path);
    const QString warning = readWarning(path, document->report);
    if (warning.isEmpty())
        return std::nullopt;
    return Notice{tr("Warning"), warning};
}

bool DocumentSession::mayOverwrite()
{
    if (!m_file)
        return true;
    const Result<FileChange> change = changeSince(m_files, *m_path, *m_file);
    if (!change.ok()) {
        m_user.tell(tr("Error"), change.error());
        return false;
    }
    // A file another program removed is written anew.
    if (change.value() != FileChange::Changed)
        return true;
    return m_user.ask({tr("'%1' was changed by another program since it was opened. Overwrite it?")
                           .arg(*m_path),
                       tr("Warning"), MessageButtons::YesNo, MessageAnswer::No})
           == MessageAnswer::Yes;
}

DocumentSession::SaveOutcome DocumentSession::writeTo(const QString& path)
{
    std::optional<FileSnapshot> saved;
    const Result<void> written = saveDocumentFile(m_files, path, m_entries.lines(), saved);
    // The document's file holds the new document even when only the flush of
    // its folder failed: no other program's change.
    if (saved && (written.ok() || path == m_path))
        m_file = std::move(saved);
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
    if (!mayOverwrite())
        return SaveOutcome::Failed;
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
    if (m_user.ask({changedQuestion(), tr("Alert"), MessageButtons::YesNo}) == MessageAnswer::Yes
        && save() == SaveOutcome::Failed)
        return false;
    // Saved or given up: the copy goes with the changes.
    dropCopy();
    return true;
}

bool DocumentSession::offerLeftCopy()
{
    if (!m_store)
        return false;
    while (std::optional<LeftCopy> left = m_store->takeLeftCopy()) {
        Result<RecoveredDocument> copy = m_store->read(*left);
        if (!copy.ok()) {
            const QString aside = m_store->setAside(std::move(*left));
            m_user.tell(tr("Error"),
                        tr("Callvista ended without saving some changes, but their copy cannot be "
                           "read. %1 It was kept as \"%2\".")
                            .arg(copy.error(), aside));
            continue;
        }
        const QString name = copy->path.value_or(untitledCaption());
        if (m_user.ask(
                {tr("Callvista ended without saving the changes to '%1'. Restore them?").arg(name),
                 tr("Alert"), MessageButtons::YesNo, MessageAnswer::Yes})
            != MessageAnswer::Yes) {
            m_store->discard(std::move(*left));
            return false;
        }
        // The copy stays, now this program's, until the changes are saved or
        // given up: a second crash still finds them.
        m_store->adopt(std::move(*left));
        restore(std::move(copy.value()));
        return true;
    }
    return false;
}

void DocumentSession::restore(RecoveredDocument&& copy)
{
    m_copyTimer.stop();
    m_copyPending = false;
    m_entries.replaceLines(std::move(copy.lines));
    m_search = {};
    m_path = std::move(copy.path);
    m_file = std::move(copy.file);
    emit documentReplaced(true);
    setModifiedState(true);
    emit captionChanged(caption());
}

} // namespace callvista

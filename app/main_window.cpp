#include "app/main_window.h"

#include "app/free_memory.h"
#include "app/main_form.h"
#include "core/document_file.h"
#include "core/entry_line.h"
#include "core/file_name.h"
#include "core/line_fit.h"
#include "dialogs/entry_form.h"
#include "dialogs/file_box.h"
#include "dialogs/find_form.h"
#include "widgets/command_button.h"
#include "widgets/entry_list.h"
#include "widgets/image_button.h"
#include "widgets/message_box.h"
#include "widgets/modal.h"
#include "widgets/picture.h"

#include <QAccessible>
#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QScrollBar>

namespace callvista {

namespace {

constexpr int BlinkCycles = 50;
// One phase of the blink stays at least one screen frame, so that a person
// sees it: 100 phases take about 1.6 seconds.
constexpr int BlinkPhaseMs = 16;
// Idle time after a document replaced the list before the freed memory is
// given back.
constexpr int ReturnMemoryAfterMs = 1000;

// The name of a document that has no file yet.
const QString& untitled()
{
    static const QString name = MainWindow::tr("<Untitled>");
    return name;
}

QString changedQuestion()
{
    return MainWindow::tr("Callvista is Changed, Do you want to save your changes?");
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
        notes.append(MainWindow::tr("%n value was longer than its column and was shortened; "
                                    "saving will store it shortened.",
                                    nullptr, shortened));
    else if (shortened > 1)
        notes.append(MainWindow::tr("%n values were longer than their column and were "
                                    "shortened; saving will store them shortened.",
                                    nullptr, shortened));
    if (report.completedLastEntry)
        notes.append(MainWindow::tr("The file ended inside its last entry; its missing "
                                    "fields are empty."));
    const int foreign = report.windows1252Lines;
    if (foreign == 1)
        notes.append(MainWindow::tr("%n line was not UTF-8 text and was read as Windows-1252.",
                                    nullptr, foreign));
    else if (foreign > 1)
        notes.append(MainWindow::tr("%n lines were not UTF-8 text and were read as "
                                    "Windows-1252.",
                                    nullptr, foreign));
    if (notes.isEmpty())
        return {};
    return MainWindow::tr("\"%1\" was opened with these repairs:\n").arg(path) + notes.join(u'\n');
}

// Courier where it exists, elsewhere a font with Courier's metrics: the
// first of them the machine has, asked for alone. Asked for as a list, Qt
// looks for each missing family in turn, and for each one fontconfig sorts
// every installed font to offer a substitute that is then passed over.
// With none of them installed the whole list goes to Qt, whose fallbacks
// choose.
QStringList listFamilies()
{
    const QStringList designed{QStringLiteral("Courier"), QStringLiteral("Courier New"),
                               QStringLiteral("Liberation Mono")};
    for (const QString& family : designed)
        if (QFontDatabase::hasFamily(family))
            return {family};
    return designed;
}

// The list's font as designed. Its size is where the fitting starts.
QFont designListFont()
{
    QFont font;
    font.setFamilies(listFamilies());
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    // Hinted across too, every column starts on a whole pixel: the bars are
    // drawn sharp, and the header's fall on the same pixels as the list's.
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setPointSizeF(9.6);
    return font;
}

// The smallest size at which the list stays readable, and the steps by
// which the fitting goes down to it.
constexpr double SmallestListPoints = 8;
constexpr double ListPointStep = 0.25;

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                              | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                              | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Main"));
    setWindowIcon(pictureIcon(QStringLiteral(":/icons/callvista.png")));
    buildControls();
    buildMenu();
    m_blinkTimer.setInterval(BlinkPhaseMs);
    connect(&m_blinkTimer, &QTimer::timeout, this, &MainWindow::blinkStep);
    m_returnMemoryTimer.setSingleShot(true);
    m_returnMemoryTimer.setInterval(ReturnMemoryAfterMs);
    connect(&m_returnMemoryTimer, &QTimer::timeout, this, [] { returnFreeMemory(); });
    m_header->setText(headerLine());
    // Read aloud as its three titles, not as the padded line with its bars.
    m_header->setAccessibleName(columnCaptions().join(QStringLiteral(", ")));
    resetCommands();
    showDocument(untitled());
    m_addButton->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    const MainForm form = buildMainForm(*this);
    setCentralWidget(form.client);
    m_addButton = form.addButton;
    m_editButton = form.editButton;
    m_deleteButton = form.deleteButton;
    m_findButton = form.findButton;
    m_logo = form.logo;
    m_header = form.header;
    m_list = form.list;
    connect(m_logo, &ImageButton::clicked, this, &MainWindow::blink);

    fitListFont(form.client);
    // The header's captions and bars stand over the columns only when the
    // label's text starts where the list's item text starts.
    m_header->setContentsMargins(m_list->textInset(), 0, 0, 0);
    connect(m_list, &EntryList::gotFocus, this, &MainWindow::refreshButtons);
    connect(m_list, &EntryList::entryDoubleClicked, this, &MainWindow::editEntry);

    connect(m_addButton, &CommandButton::clicked, this, &MainWindow::addEntries);
    connect(m_editButton, &CommandButton::clicked, this, &MainWindow::editEntry);
    connect(m_deleteButton, &CommandButton::clicked, this, &MainWindow::deleteEntry);
    connect(m_findButton, &CommandButton::clicked, this, &MainWindow::findEntry);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void MainWindow::fitListFont(QWidget* client)
{
    const QFont design = designListFont();
    const QString line(EntryWidths.lineLength(), u'0');
    // Measured in the font the machine has for the families asked for, at
    // each size tried.
    const auto widthAt = [&](double points) {
        QFont font = design;
        font.setPointSizeF(points);
        return QFontMetricsF(font).horizontalAdvance(line);
    };
    const LineFit fit = fitLine({design.pointSizeF(), SmallestListPoints, ListPointStep},
                                m_list->textRoomBesideScrollBar(),
                                m_list->verticalScrollBar()->sizeHint().width(), widthAt);
    if (fit.widening > 0) {
        client->setFixedWidth(client->width() + fit.widening);
        m_list->resize(m_list->width() + fit.widening, m_list->height());
        m_header->resize(m_header->width() + fit.widening, m_header->height());
    }
    QFont font = design;
    font.setPointSizeF(fit.pointSize);
    // The header takes the list's font, so that its bars keep standing over
    // the list's bars.
    m_list->setFont(font);
    m_header->setFont(font);
}

void MainWindow::buildMenu()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("File"));
    const auto addItem = [&](const char* name, const QString& caption, const QKeySequence& keys,
                             void (MainWindow::*handler)()) {
        QAction* action = file->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, handler);
    };
    addItem("NewMenu", tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N), &MainWindow::newDocument);
    addItem("OpenMenu", tr("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O), &MainWindow::openDocument);
    addItem("SaveMenu", tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), &MainWindow::saveDocument);
    addItem("SaveAsMenu", tr("Save &As..."), QKeySequence(), &MainWindow::saveDocumentAs);
    file->addSeparator()->setObjectName(QStringLiteral("Sep"));
    addItem("ExitMenu", tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X), &MainWindow::exit);
}

void MainWindow::resetCommands()
{
    m_search = {};
    m_editButton->setEnabled(false);
    m_deleteButton->setEnabled(false);
    m_findButton->setEnabled(false);
}

void MainWindow::refreshButtons()
{
    const bool any = m_list->count() > 0;
    m_editButton->setEnabled(any);
    m_deleteButton->setEnabled(any);
    m_findButton->setEnabled(any);
}

void MainWindow::addEntries()
{
    EntryForm form(AddEntries{[this](const QString& line) { return m_list->addItem(line); }}, this);
    runModal(form);
    if (form.addedAny())
        m_changed = true;
    m_list->setFocus();
}

bool MainWindow::ensureSelection()
{
    if (m_list->count() == 0)
        return false;
    if (m_list->currentRow() < 0) {
        m_list->setCurrentRow(0);
        m_list->setFocus();
    }
    return true;
}

void MainWindow::editEntry()
{
    if (!ensureSelection())
        return;
    const int position = m_list->currentRow();
    EntryForm form(EditEntry{m_list->itemText(position)}, this);
    if (!runModal(form) || !form.entry())
        return;
    // The edited line goes first, so there is always room for the new one;
    // it takes its own sorted place and nothing is selected afterwards.
    m_list->removeItem(position);
    m_list->addItem(*form.entry());
    m_changed = true;
}

void MainWindow::findEntry()
{
    if (!ensureSelection())
        return;
    FindForm form(m_list->lines(), m_list->currentRow(), m_search, this);
    connect(&form, &FindForm::entryFound, m_list, &EntryList::setCurrentRow);
    runModal(form);
    m_search = form.lastFound();
}

void MainWindow::deleteEntry()
{
    if (!ensureSelection())
        return;
    const int position = m_list->currentRow();
    const QString family = entryField(m_list->itemText(position), Field::Family).toUpper();
    const MessageAnswer answer = showMessage(this, tr("Are You Sure to Remove '%1' ?").arg(family),
                                             tr("Delete Confirmation"), MessageButtons::YesNo);
    if (answer == MessageAnswer::Yes) {
        m_list->removeItem(position);
        m_changed = true;
    }
    refreshButtons();
}

void MainWindow::blink()
{
    // A click during a blink starts the 50 cycles afresh. The timer runs on
    // the window's own event loop, so nothing re-enters this slot and
    // closing the window mid-blink simply stops the timer with the window.
    m_blinkPhase = 0;
    m_blinkTimer.start();
}

void MainWindow::blinkStep()
{
    ++m_blinkPhase;
    m_logo->setVisible(m_blinkPhase % 2 == 0);
    if (m_blinkPhase >= 2 * BlinkCycles)
        m_blinkTimer.stop();
}

void MainWindow::showDocument(const QString& name)
{
    m_fileName = name;
    m_changed = false;
    setWindowTitle(name);
    // A screen reader announces the caption on the window's name-change
    // event, which a new title alone does not raise; a save under the same
    // name is announced too.
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

bool MainWindow::settleChangesBeforeReplacing()
{
    if (!m_changed)
        return true;
    switch (showMessage(this, changedQuestion(), tr("Alert"), MessageButtons::YesNoCancel)) {
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

std::optional<QString> MainWindow::chooseFile(const FileBoxOptions& options)
{
    FileBox box(options, this);
    if (!runModal(box) || box.path().isEmpty())
        return std::nullopt;
    return box.path();
}

void MainWindow::newDocument()
{
    if (!settleChangesBeforeReplacing())
        return;
    const std::optional<QString> path =
        chooseFile({tr("Enter a New Callvista FileName"), tr("Make"), true,
                    DocumentExtension.toString(), false});
    if (!path)
        return;
    m_list->clear();
    resetCommands();
    m_returnMemoryTimer.start();
    showDocument(*path);
}

void MainWindow::openDocument()
{
    if (!settleChangesBeforeReplacing())
        return;
    const std::optional<QString> path =
        chooseFile({tr("Open a Callvista"), tr("Open"), false, DocumentExtension.toString(), true});
    if (!path)
        return;
    if (const std::optional<Notice> notice = openPath(*path))
        showMessage(this, notice->text, notice->title);
}

void MainWindow::openAtStart(const QString& path)
{
    const QString full = fullDocumentPath(path);
    openAtStart(full, loadDocumentFile(full));
}

void MainWindow::openAtStart(const QString& fullPath, Result<LoadedDocument>&& document)
{
    if (const std::optional<Notice> notice = showLoaded(fullPath, std::move(document))) {
        QTimer::singleShot(
            0, this, [this, notice = *notice] { showMessage(this, notice.text, notice.title); });
    }
}

std::optional<MainWindow::Notice> MainWindow::openPath(const QString& path)
{
    return showLoaded(path, loadDocumentFile(path));
}

std::optional<MainWindow::Notice> MainWindow::showLoaded(const QString& path,
                                                         Result<LoadedDocument>&& document)
{
    // The whole file was read before anything changes, so that a refused
    // file leaves the open document as it was.
    if (!document.ok())
        return Notice{tr("Error"), document.error()};
    m_list->clear();
    resetCommands();
    m_list->setItems(std::move(document->lines));
    m_returnMemoryTimer.start();
    refreshButtons();
    showDocument(path);
    const QString warning = readWarning(path, document->report);
    if (warning.isEmpty())
        return std::nullopt;
    return Notice{tr("Warning"), warning};
}

MainWindow::SaveOutcome MainWindow::writeTo(const QString& path)
{
    const Result<void> written = writeDocumentFile(path, m_list->lines());
    if (!written.ok()) {
        showMessage(this, written.error(), tr("Error"));
        return SaveOutcome::Failed;
    }
    showDocument(path);
    return SaveOutcome::Saved;
}

MainWindow::SaveOutcome MainWindow::save()
{
    if (m_fileName == untitled())
        return saveAs();
    return writeTo(m_fileName);
}

MainWindow::SaveOutcome MainWindow::saveAs()
{
    const std::optional<QString> path =
        chooseFile({tr("Save as to"), tr("Save"), true, DocumentExtension.toString(), false});
    if (!path)
        return SaveOutcome::Cancelled;
    return writeTo(*path);
}

void MainWindow::saveDocument()
{
    save();
}

void MainWindow::saveDocumentAs()
{
    saveAs();
}

void MainWindow::exit()
{
    close();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_changed
        && showMessage(this, changedQuestion(), tr("Alert"), MessageButtons::YesNo)
               == MessageAnswer::Yes
        && save() == SaveOutcome::Failed) {
        // The one refusal to close: the changes could not be written and
        // would otherwise be lost.
        event->ignore();
        return;
    }
    m_blinkTimer.stop();
    event->accept();
}

} // namespace callvista

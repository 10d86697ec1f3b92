#include "app/main_window.h"

#include "app/free_memory.h"
#include "app/main_form.h"
#include "app/window_prompts.h"
#include "core/document_session.h"
#include "core/entry_line.h"
#include "core/file_name.h"
#include "dialogs/entry_form.h"
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
#include <QLabel>
#include <QLayout>
#include <QMenuBar>

namespace callvista {

namespace {

constexpr int BlinkCycles = 50;
// One phase of the blink stays at least one screen frame, so that a person
// sees it: 100 phases take about 1.6 seconds.
constexpr int BlinkPhaseMs = 16;
// Idle time after a document replaced the list before the freed memory is
// given back.
constexpr int ReturnMemoryAfterMs = 1000;

// The document's entries are the list's.
class ListEntries : public EntryStore
{
public:
    explicit ListEntries(EntryList& list)
        : m_list(list)
    {
    }

    const SortedLines& lines() const override { return m_list.lines(); }
    void replaceLines(SortedLines&& lines) override { m_list.setItems(std::move(lines)); }
    void clearLines() override { m_list.clear(); }

private:
    EntryList& m_list;
};

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                              | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                              | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Main"));
    setWindowIcon(pictureIcon(QStringLiteral(":/icons/callvista.png")));
    buildControls();
    // The session's entries are the list's; the menu forwards to it.
    m_entries = std::make_unique<ListEntries>(*m_list);
    m_prompts = std::make_unique<WindowPrompts>(*this);
    m_session = std::make_unique<DocumentSession>(*m_entries, *m_prompts, systemFileSystem());
    connect(m_session.get(), &DocumentSession::captionChanged, this, &MainWindow::showCaption);
    connect(m_session.get(), &DocumentSession::documentReplaced, this,
            &MainWindow::documentReplaced);
    buildMenu();
    m_blinkTimer.setInterval(BlinkPhaseMs);
    connect(&m_blinkTimer, &QTimer::timeout, this, &MainWindow::blinkStep);
    m_returnMemoryTimer.setSingleShot(true);
    m_returnMemoryTimer.setInterval(ReturnMemoryAfterMs);
    connect(&m_returnMemoryTimer, &QTimer::timeout, this, [] { returnFreeMemory(); });
    disableEntryCommands();
    showCaption(m_session->caption());
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
    connect(m_list, &EntryList::gotFocus, this, &MainWindow::refreshButtons);
    connect(m_list, &EntryList::entryDoubleClicked, this, &MainWindow::editEntry);

    connect(m_addButton, &CommandButton::clicked, this, &MainWindow::addEntries);
    connect(m_editButton, &CommandButton::clicked, this, &MainWindow::editEntry);
    connect(m_deleteButton, &CommandButton::clicked, this, &MainWindow::deleteEntry);
    connect(m_findButton, &CommandButton::clicked, this, &MainWindow::findEntry);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void MainWindow::buildMenu()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("File"));
    const auto addItem = [&](const char* name, const QString& caption, const QKeySequence& keys,
                             auto&& handler) {
        QAction* action = file->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, handler);
    };
    DocumentSession& session = *m_session;
    addItem("NewMenu", tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N),
            [&session] { session.newDocument(); });
    addItem("OpenMenu", tr("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O),
            [&session] { session.openDocument(); });
    addItem("SaveMenu", tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S),
            [&session] { session.save(); });
    addItem("SaveAsMenu", tr("Save &As..."), QKeySequence(), [&session] { session.saveAs(); });
    file->addSeparator()->setObjectName(QStringLiteral("Sep"));
    addItem("ExitMenu", tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X), [this] { close(); });
}

void MainWindow::disableEntryCommands()
{
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
    // Each entry is a change as soon as it is in the list, so that its copy
    // is kept while the dialog is still open.
    EntryForm form(AddEntries{[this](const QString& line) {
                       const bool added = m_list->addItem(line);
                       if (added)
                           m_session->setModified();
                       return added;
                   }},
                   this);
    runModal(form);
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
    m_session->setModified();
}

void MainWindow::findEntry()
{
    if (!ensureSelection())
        return;
    FindForm form(m_list->lines(), m_list->currentRow(), m_session->search(), this);
    connect(&form, &FindForm::entryFound, m_list, &EntryList::setCurrentRow);
    runModal(form);
    m_session->rememberSearch(form.lastFound());
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
        m_session->setModified();
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

void MainWindow::showCaption(const QString& caption)
{
    setWindowTitle(caption);
    // A screen reader announces the caption on the window's name-change
    // event, which a new title alone does not raise; a save under the same
    // name is announced too.
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void MainWindow::documentReplaced(bool fromFile)
{
    disableEntryCommands();
    if (fromFile)
        refreshButtons();
    m_returnMemoryTimer.start();
}

void MainWindow::openAtStart(const QString& path)
{
    const QString full = fullDocumentPath(path);
    openAtStart(full, loadDocumentFile(systemFileSystem(), full));
}

void MainWindow::openAtStart(const QString& fullPath, Result<LoadedDocument>&& document)
{
    const std::optional<DocumentSession::Notice> notice =
        m_session->adoptRead(fullPath, std::move(document));
    if (notice)
        QTimer::singleShot(
            0, this, [this, notice = *notice] { showMessage(this, notice.text, notice.title); });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The one refusal to close: the changes could not be written and would
    // otherwise be lost.
    if (!m_session->mayClose()) {
        event->ignore();
        return;
    }
    m_blinkTimer.stop();
    event->accept();
}

} // namespace callvista

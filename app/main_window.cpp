#include "app/main_window.h"

#include "app/adr_list.h"
#include "app/command_button.h"
#include "app/geometry.h"
#include "app/message_box.h"
#include "app/modal.h"
#include "app/picture.h"
#include "dialogs/add_form.h"
#include "dialogs/edit_form.h"
#include "dialogs/file_box.h"
#include "dialogs/find_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QStyle>
#include <QMenuBar>
#include <QToolButton>

namespace callvista {

namespace {

constexpr int BlinkCycles = 50;
// One phase of the blink stays at least one screen frame, so that a person
// sees it: 100 phases take about 1.6 seconds.
constexpr int BlinkPhaseMs = 16;

// The name of a document that has no file yet.
const QString& untitled()
{
    static const QString name = QStringLiteral("<Untitled>");
    return name;
}

QString changedQuestion()
{
    return QStringLiteral("Callvista is Changed, Do you want to save your changes?");
}

// One message for what the reader had to mend in a document it accepted.
QString readWarning(const ReadReport& report)
{
    QStringList notes;
    if (report.shortenedValues > 0)
        notes.append(QStringLiteral("%1 value(s) were longer than their column and were "
                                    "shortened; saving will store them shortened.")
                         .arg(report.shortenedValues));
    if (report.completedLastEntry)
        notes.append(QStringLiteral("The file ended inside its last entry; its missing "
                                    "fields are empty."));
    if (report.windows1252Lines > 0)
        notes.append(QStringLiteral("%1 line(s) were not UTF-8 text and were read as "
                                    "Windows-1252.")
                         .arg(report.windows1252Lines));
    if (report.droppedBlankEntries > 0)
        notes.append(QStringLiteral("%1 blank entr(ies) at the end of the file were left out.")
                         .arg(report.droppedBlankEntries));
    return notes.join(u'\n');
}

QFont listFont()
{
    QFont font;
    // Courier where it exists; elsewhere a font with Courier's metrics, so
    // that the 72 columns fill the list as they were laid out to.
    font.setFamilies({QStringLiteral("Courier"), QStringLiteral("Courier New"),
                      QStringLiteral("Liberation Mono")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(9.6);
    return font;
}

CommandButton* makeCommandButton(QWidget* parent, const QString& name, const QString& caption,
                                 const QString& picture, int left)
{
    auto* button = new CommandButton(caption, picture, parent);
    button->setObjectName(name);
    placeInTwips(button, left, 120, 852, 612);
    return button;
}

} // namespace

Main::Main(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Main"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/callvista.png")));
    buildControls();
    buildMenu();
    m_blinkTimer.setInterval(BlinkPhaseMs);
    connect(&m_blinkTimer, &QTimer::timeout, this, &Main::blinkStep);
    load();
    m_addCmd->setFocus();
}

Main::~Main() = default;

void Main::buildControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    const QRect area = twipsRect(0, 0, 8316, 5388);
    client->setFixedSize(area.size());
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    client->setPalette(palette);
    client->setAutoFillBackground(true);
    setCentralWidget(client);

    m_addCmd = makeCommandButton(client, QStringLiteral("AddCmd"), tr("&Add"),
                                 QStringLiteral(":/icons/add.png"), 0);
    m_editCmd = makeCommandButton(client, QStringLiteral("EditCmd"), tr("&Edit"),
                                  QStringLiteral(":/icons/edit.png"), 840);
    m_delCmd = makeCommandButton(client, QStringLiteral("DelCmd"), tr("&Delete"),
                                 QStringLiteral(":/icons/delete.png"), 1680);
    m_findCmd = makeCommandButton(client, QStringLiteral("FindCmd"), tr("F&ind"),
                                  QStringLiteral(":/icons/find.png"), 2520);

    m_image = new Picture(QStringLiteral(":/images/logo.png"), client);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setToolTip(tr("Click"));
    m_image->setAccessibleName(tr("Callvista logo"));
    placeInTwips(m_image, 4896, 48, 3360, 636);
    connect(m_image, &Picture::clicked, this, &Main::blink);

    m_title = new QLabel(client);
    m_title->setObjectName(QStringLiteral("Title"));
    m_title->setText(QStringLiteral("Title"));
    m_title->setFont(listFont());
    m_title->setTextFormat(Qt::PlainText);
    m_title->setAutoFillBackground(true);
    QPalette titlePalette = m_title->palette();
    titlePalette.setColor(QPalette::Window, QColor(255, 192, 192));
    m_title->setPalette(titlePalette);
    placeInTwips(m_title, 0, 840, 8292, 252);

    m_adrList = new AdrList(client);
    m_adrList->setObjectName(QStringLiteral("AdrList"));
    m_adrList->setAccessibleName(tr("Entries"));
    m_adrList->setFont(listFont());
    placeInTwips(m_adrList, 0, 1080, 8292, 4272);
    // The header's captions and bars stand over the columns only when the
    // label's text starts where the list's item text starts.
    const int inset = m_adrList->frameWidth()
                      + style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_adrList) + 1;
    m_title->setContentsMargins(inset, 0, 0, 0);
    connect(m_adrList, &AdrList::gotFocus, this, &Main::refreshButtons);
    connect(m_adrList, &AdrList::listDoubleClicked, this, &Main::editCmdClick);

    connect(m_addCmd, &QToolButton::clicked, this, &Main::addCmdClick);
    connect(m_editCmd, &QToolButton::clicked, this, &Main::editCmdClick);
    connect(m_delCmd, &QToolButton::clicked, this, &Main::delCmdClick);
    connect(m_findCmd, &QToolButton::clicked, this, &Main::findCmdClick);

    setTabOrder(m_addCmd, m_delCmd);
    setTabOrder(m_delCmd, m_findCmd);
    setTabOrder(m_findCmd, m_adrList);
    setTabOrder(m_adrList, m_editCmd);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void Main::buildMenu()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("File"));
    const auto addItem = [&](const char* name, const QString& caption, const QKeySequence& keys,
                             void (Main::*handler)()) {
        QAction* action = file->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, handler);
    };
    addItem("NewMenu", tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N), &Main::newMenuClick);
    addItem("OpenMenu", tr("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O), &Main::openMenuClick);
    addItem("SaveMenu", tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), &Main::saveMenuClick);
    addItem("SaveAsMenu", tr("Save &As..."), QKeySequence(), &Main::saveAsMenuClick);
    file->addSeparator()->setObjectName(QStringLiteral("Sep"));
    addItem("ExitMenu", tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X), &Main::exitMenuClick);
}

QString Main::MakeNewItem(const QString& family, const QString& shortName,
                          const QString& phone) const
{
    return makeEntryLine(family, shortName, phone, m_widths);
}

QString Main::GetItemField(const QString& line, int field) const
{
    if (field < 1 || field > 3)
        return {};
    return entryField(line, Field(field), m_widths);
}

DocumentWriteResult Main::WriteDocument(const QString& path) const
{
    return writeDocumentFile(path, m_adrList->items(), m_widths);
}

DecodedDocument Main::ReadDocument(const QString& path) const
{
    return readDocumentFile(path, m_widths);
}

void Main::load()
{
    m_widths = AddForm(*this).fields().widths();
    find_fn.clear();
    find_sn.clear();
    find_pn.clear();
    find_match = 0;
    find_whole = 0;
    m_editCmd->setEnabled(false);
    m_delCmd->setEnabled(false);
    m_findCmd->setEnabled(false);
    showCaption(untitled());
    ChangeFlag = false;
    ActionFlag = false;
    m_title->setText(headerLine(m_widths));
}

void Main::refreshButtons()
{
    const bool any = m_adrList->listCount() > 0;
    m_editCmd->setEnabled(any);
    m_delCmd->setEnabled(any);
    m_findCmd->setEnabled(any);
}

void Main::addCmdClick()
{
    AddForm form(*this);
    runModal(form);
    m_adrList->setFocus();
}

bool Main::ensureSelection()
{
    if (m_adrList->listCount() == 0)
        return false;
    if (m_adrList->listIndex() < 0) {
        m_adrList->setListIndex(0);
        m_adrList->setFocus();
    }
    return true;
}

void Main::editCmdClick()
{
    if (!ensureSelection())
        return;
    EditForm form(*this);
    runModal(form);
}

void Main::findCmdClick()
{
    if (!ensureSelection())
        return;
    FindForm form(*this);
    runModal(form);
}

void Main::delCmdClick()
{
    if (!ensureSelection())
        return;
    const int position = m_adrList->listIndex();
    const QString family = GetItemField(m_adrList->itemText(position), 1).toUpper();
    const MessageAnswer answer = showMessage(
        this, QStringLiteral("Are You Sure to Remove '") + family + QStringLiteral("' ?"),
        QStringLiteral("Delete Confirmation"), MessageButtons::YesNo);
    if (answer == MessageAnswer::Yes) {
        m_adrList->removeItem(position);
        ChangeFlag = true;
    }
    refreshButtons();
}

void Main::blink()
{
    // A click during a blink starts the 50 cycles afresh. The timer runs on
    // the window's own event loop, so nothing re-enters this handler and
    // closing the window mid-blink simply stops the timer with the window.
    m_blinkPhase = 0;
    m_blinkTimer.start();
}

void Main::blinkStep()
{
    ++m_blinkPhase;
    m_image->setVisible(m_blinkPhase % 2 == 0);
    if (m_blinkPhase >= 2 * BlinkCycles)
        m_blinkTimer.stop();
}

void Main::showCaption(const QString& name)
{
    CvaFileName = name;
    setWindowTitle(name);
}

bool Main::settleChangesBeforeReplacing()
{
    if (!ChangeFlag)
        return true;
    switch (showMessage(this, changedQuestion(), QStringLiteral("Alert"),
                        MessageButtons::YesNoCancel)) {
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

bool Main::chooseFile(const QString& caption, const QString& actionCaption, bool warnFlag,
                      bool locked)
{
    FileBox box(*this);
    box.configure(caption, actionCaption, warnFlag, locked);
    runModal(box);
    return ActionFlag;
}

void Main::newMenuClick()
{
    if (!settleChangesBeforeReplacing())
        return;
    if (!chooseFile(QStringLiteral("Enter a New Callvista FileName"), QStringLiteral("Make"),
                    true, false))
        return;
    const QString path = CvaFileName;
    m_adrList->clear();
    // The reset names the document "<Untitled>"; the chosen path must
    // follow it.
    load();
    showCaption(path);
    ActionFlag = false;
}

void Main::openMenuClick()
{
    if (!settleChangesBeforeReplacing())
        return;
    const QString keptName = CvaFileName;
    if (!chooseFile(QStringLiteral("Open a Callvista"), QStringLiteral("Open"), false, true))
        return;
    const QString path = CvaFileName;
    ActionFlag = false;
    // The whole file is read before anything changes, so that a refused file
    // leaves the open document as it was.
    const DecodedDocument document = ReadDocument(path);
    if (!document.ok()) {
        CvaFileName = keptName;
        showMessage(this, document.refusal, QStringLiteral("Error"));
        return;
    }
    m_adrList->clear();
    load();
    showCaption(path);
    m_adrList->setItems(document.lines);
    refreshButtons();
    ChangeFlag = false;
    ActionFlag = false;
    const QString warning = readWarning(document.report);
    if (!warning.isEmpty())
        showMessage(this, warning, QStringLiteral("Warning"));
}

Main::SaveOutcome Main::writeTo(const QString& path, const QString& previousName)
{
    const DocumentWriteResult result = WriteDocument(path);
    if (!result.ok()) {
        CvaFileName = previousName;
        ActionFlag = false;
        showMessage(this, result.error, QStringLiteral("Error"));
        return SaveOutcome::Failed;
    }
    showCaption(path);
    ChangeFlag = false;
    ActionFlag = false;
    return SaveOutcome::Saved;
}

Main::SaveOutcome Main::save()
{
    if (CvaFileName == untitled())
        return saveAs();
    return writeTo(CvaFileName, CvaFileName);
}

Main::SaveOutcome Main::saveAs()
{
    const QString previousName = CvaFileName;
    if (!chooseFile(QStringLiteral("Save as to"), QStringLiteral("Save"), true, false))
        return SaveOutcome::Cancelled;
    return writeTo(CvaFileName, previousName);
}

void Main::saveMenuClick()
{
    save();
}

void Main::saveAsMenuClick()
{
    saveAs();
}

void Main::closeEvent(QCloseEvent* event)
{
    if (ChangeFlag
        && showMessage(this, changedQuestion(), QStringLiteral("Alert"), MessageButtons::YesNo)
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

void Main::exitMenuClick()
{
    close();
}

} // namespace callvista

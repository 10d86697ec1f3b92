// Renders every window of the program into PNG files, for the documentation
// and for a look at what was built:
//
//     QT_QPA_PLATFORM=offscreen build/tools/render_windows docs/
//
// writes main_window.png, main_window_scripts.png, entry_dialogs.png,
// find_dialog.png and file_box_{new,open,save_as}.png into the folder. The
// dialogs are shown as the program shows them, through runModal, and
// pictured while open.
#include "app/main_window.h"
#include "core/entry_line.h"
#include "dialogs/file_box.h"
#include "widgets/entry_list.h"
#include "widgets/modal.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <functional>

using namespace callvista;

namespace {

using Entries = QList<QStringList>;

QString g_folder;
bool g_failed = false;

void fail(const QString& what)
{
    std::fprintf(stderr, "render_windows: %s\n", qPrintable(what));
    g_failed = true;
}

template <typename T>
T* child(const QWidget& parent, const char* name)
{
    T* found = parent.findChild<T*>(QLatin1String(name));
    if (!found)
        fail(QStringLiteral("no %1 in %2").arg(QLatin1String(name), parent.objectName()));
    return found;
}

void save(const QImage& image, const QString& name)
{
    const QString path = QDir(g_folder).filePath(name);
    if (image.isNull() || !image.save(path))
        fail(QStringLiteral("cannot write %1").arg(path));
    else
        std::printf("%s\n", qPrintable(path));
}

QImage picture(QWidget& widget)
{
    QCoreApplication::processEvents();
    return widget.grab().toImage();
}

// Shows the dialog the action opens and hands it to `step` while it is open.
void whileOpen(const std::function<void()>& open, const std::function<void(QDialog&)>& step)
{
    const ModalDriver before = setModalDriver([&](QDialog& dialog) {
        QCoreApplication::processEvents();
        step(dialog);
    });
    open();
    setModalDriver(before);
}

void putEntries(MainWindow& window, const Entries& entries)
{
    EntryList* list = child<EntryList>(window, "AdrList");
    if (!list)
        return;
    for (const QStringList& e : entries)
        list->addItem(makeEntryLine(e.value(0), e.value(1), e.value(2)));
    // The commands that need an entry are enabled when the list has the
    // focus, as after a click on it; a window manager hands the window the
    // keyboard a moment after it is asked to.
    QDeadlineTimer deadline(5000);
    while (!list->hasFocus() && !deadline.hasExpired()) {
        window.activateWindow();
        list->setFocus();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    if (!list->hasFocus())
        fail(QStringLiteral("the entry list never had the keyboard"));
}

void selectRow(MainWindow& window, int row)
{
    if (EntryList* list = child<EntryList>(window, "AdrList"))
        list->setCurrentRow(row);
}

void click(const QWidget& parent, const char* name)
{
    if (auto* button = child<QAbstractButton>(parent, name))
        button->click();
}

QImage sideBySide(const QImage& left, const QList<QImage>& right)
{
    int rightWidth = 0;
    int rightHeight = 0;
    for (const QImage& image : right) {
        rightWidth = std::max(rightWidth, image.width());
        rightHeight += image.height() + 20;
    }
    QImage sheet(left.width() + 20 + rightWidth, std::max(left.height(), rightHeight - 20),
                 QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.drawImage(0, 0, left);
    int top = 0;
    for (const QImage& image : right) {
        painter.drawImage(left.width() + 20, top, image);
        top += image.height() + 20;
    }
    return sheet;
}

void renderMainWindow()
{
    MainWindow window;
    window.show();
    // More entries than the list shows at once, so that the picture shows the
    // scroll bar, and phone numbers up to the column's full 20.
    putEntries(window, {{"Smith", "John", "+49-555-12"},
                        {"Adams", "Ann", "555-01-00"},
                        {QString::fromUtf8("Émile Zola"), "Emile", "01 23 45"},
                        {"van der Berg", "Jan", "#31-20"},
                        {"Baker", "Tom", "12-345-67"},
                        {"Abercrombie-Fitzgerald", "Penelope", "+44-20-7946-0958-123"},
                        {"Chen", "Wei", "+86-10-6552-9876"},
                        {"Dubois", "Claire", "+33-1-4020-5050"},
                        {"Eriksson", "Lars", "+46-8-555-012-34"},
                        {"Fischer", "Anna", "+49-89-2180-0"},
                        {"Garcia Lopez", "Maria Jose", "+34-91-555-0199-2207"},
                        {"Hoffmann", "Kurt", "0171-555-4488"},
                        {"Ivanova", "Olga", "+7-495-555-01-23"},
                        {"Jensen", "Mette", "+45-3315-5000"},
                        {"Kowalski", "Piotr", "+48-22-555-3030"},
                        {"Lindqvist", "Sven", "+46-31-555-7788-901"},
                        {"Moreau", "Luc", "04.91.55.50.12"},
                        {"Nakamura", "Yuki", "+81-3-5555-0123"},
                        {"O'Brien", "Sean", "+353-1-555-0147"},
                        {"Papadopoulos", "Nikos", "+30-210-555-0170-8"},
                        {"Rossi", "Giulia", "+39-06-555-0110"},
                        {"Schneider", "Eva", "+41-44-555-66-77-889"}});
    if (EntryList* list = child<EntryList>(window, "AdrList"))
        list->scrollToBottom();
    selectRow(window, 8);
    save(picture(window), QStringLiteral("main_window.png"));
}

void renderScripts()
{
    MainWindow window;
    window.show();
    putEntries(
        window,
        {{"AAA", "First", "100"},
         {QString::fromUtf16(u"\u05db\u05d4\u05df \u05dc\u05d5\u05d9"), "Dan", "123"},
         {QString::fromUtf16(u"\u062d\u062f\u0627\u062f"), "Dan", "123"},
         {QString::fromUtf16(u"\u5c71\u7530\u592a\u90ce"), "Dan", "123"},
         {QString::fromUtf16(u"Tab\tName"), "Dan", "123"},
         {QString::fromUtf16(u"Line\u2028Break"), "Dan", "123"},
         {QString::fromUtf16(u"Jose\u0301 Rene\u0301e"), "Dan", "123"},
         {QString::fromUtf16(u"Emoji \U0001F600\U0001F389"), "Dan", "123"},
         {QString::fromUtf16(u"\u00c9MILE \u00c5SA \u1ec4"), "Dan", "123"},
         {QString(30, QChar(0x5c71)), QString::fromUtf16(u"\u5c71\u7530"), "+81-3-5555-0123"},
         {"Baker", "Tom", "12-345-67"}});
    selectRow(window, 1);
    save(picture(window), QStringLiteral("main_window_scripts.png"));
}

void renderEntryDialogs()
{
    MainWindow window;
    window.show();
    putEntries(window, {{"Smith", "John", "+49-555-12"},
                        {"Adams", "Ann", "555-01-00"},
                        {"van der Berg", "Jan", "#31-20"},
                        {"Baker", "Tom", "12-345-67"}});
    selectRow(window, 3);
    QImage add;
    whileOpen([&] { click(window, "AddCmd"); },
              [&](QDialog& dialog) {
                  if (auto* family = child<QLineEdit>(dialog, "Family"))
                      family->setText(QStringLiteral("Miller"));
                  if (auto* phone = child<QLineEdit>(dialog, "Phone"))
                      phone->setText(QStringLiteral("0171-555 12"));
                  add = picture(dialog);
              });
    QImage main;
    QImage edit;
    whileOpen([&] { click(window, "EditCmd"); },
              [&](QDialog& dialog) {
                  main = picture(window);
                  edit = picture(dialog);
              });
    if (main.isNull() || add.isNull() || edit.isNull())
        fail(QStringLiteral("the Add or the Edit dialog did not open"));
    save(sideBySide(main, {add, edit}), QStringLiteral("entry_dialogs.png"));
}

void renderFindDialog()
{
    MainWindow window;
    window.show();
    putEntries(window, {{"Smith", "x", "555"},
                        {"Adams", "x", "555"},
                        {"Hannah", "x", "555"},
                        {"Baker", "x", "555"},
                        {"Zanni", "x", "555"}});
    selectRow(window, 0);
    // A search to offer again: "ann" with Match Case, which finds Hannah.
    QImage main;
    QImage find;
    whileOpen([&] { click(window, "FindCmd"); },
              [&](QDialog& dialog) {
                  if (auto* family = child<QLineEdit>(dialog, "Family"))
                      family->setText(QStringLiteral("ann"));
                  click(dialog, "MatchCheck");
                  click(dialog, "FindCmd");
                  main = picture(window);
                  find = picture(dialog);
              });
    if (main.isNull() || find.isNull())
        fail(QStringLiteral("the Find dialog did not open"));
    save(sideBySide(main, {find}), QStringLiteral("find_dialog.png"));
}

void renderChoosers()
{
    // The chooser opens on the current folder: one with a few documents.
    QTemporaryDir scratch;
    const QString before = QDir::currentPath();
    QDir here(scratch.path());
    for (const char* name : {"Friends", "Work", "archive"})
        here.mkdir(QLatin1String(name));
    for (const char* name : {"family.CVA", "club.cva", "office.CVA", "notes.txt"}) {
        QFile file(here.filePath(QLatin1String(name)));
        if (!file.open(QIODevice::WriteOnly))
            fail(QStringLiteral("cannot make %1").arg(file.fileName()));
    }
    QDir::setCurrent(scratch.path());
    const QList<QPair<QString, ChooserOptions>> choosers{
        {"file_box_new", {"Enter a New Callvista FileName", "Make", true, "CVA", false}},
        {"file_box_open", {"Open a Callvista", "Open", false, "CVA", true}},
        {"file_box_save_as", {"Save as to", "Save", true, "CVA", false}}};
    for (const auto& [name, options] : choosers) {
        FileBox box(options);
        whileOpen([&] { runModal(box); },
                  [&](QDialog& dialog) {
                      if (options.nameLocked) {
                          if (auto* files = child<QListWidget>(dialog, "boxFile")) {
                              const auto found =
                                  files->findItems(QStringLiteral("family.CVA"), Qt::MatchExactly);
                              if (!found.isEmpty())
                                  files->setCurrentItem(found.first());
                          }
                      } else if (auto* box = child<QLineEdit>(dialog, "boxFileName")) {
                          box->setText(QStringLiteral("report"));
                      }
                      save(picture(dialog), name + QStringLiteral(".png"));
                  });
    }
    QDir::setCurrent(before);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: render_windows FOLDER\n");
        return 2;
    }
    g_folder = QDir(arguments.at(1)).absolutePath();
    if (!QDir().mkpath(g_folder)) {
        std::fprintf(stderr, "render_windows: cannot make %s\n", qPrintable(g_folder));
        return 1;
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    renderMainWindow();
    renderScripts();
    renderEntryDialogs();
    renderFindDialog();
    renderChoosers();
    return g_failed ? 1 : 0;
}

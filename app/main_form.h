#pragma once

#include "widgets/form_table.h"

#include <QCoreApplication>

class QLabel;

namespace callvista {

class CommandButton;
class EntryList;
class ImageButton;

// The main window's client area and its controls: the four command buttons,
// the logo, the list's header and the entry list.
struct MainForm {
    Q_DECLARE_TR_FUNCTIONS(MainForm)

public:
    [[nodiscard]] static FormTable table();

    QWidget* client = nullptr;
    CommandButton* addButton = nullptr;
    CommandButton* editButton = nullptr;
    CommandButton* deleteButton = nullptr;
    CommandButton* findButton = nullptr;
    ImageButton* logo = nullptr;
    QLabel* header = nullptr;
    EntryList* list = nullptr;
};

// Makes the client area on the window, at its fixed size, and the controls
// on it, the list's font fitted and the header over its columns, and hands
// them back.
MainForm buildMainForm(QWidget& window);

} // namespace callvista

#pragma once

#include "dialogs/entry_fields.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QPushButton;

namespace callvista {

class Main;

// "Find an Item": "Find Next" selects the next entry of the main window's list
// after the selected one, wrapping to the top, whose fields match the typed
// criteria. The criteria and options of the last search that found something
// are kept on the main window and come back at the next opening.
class FindForm : public QDialog
{
    Q_OBJECT

public:
    explicit FindForm(Main& main);

    [[nodiscard]] const EntryFields& fields() const { return m_fields; }

    // The position of the next matching entry, or -1. Reads the options and
    // the column widths from this dialog's controls as it runs.
    [[nodiscard]] qint16 FindItemIndex(QString family, QString shortName, QString phone) const;

    void findCmdClick();
    void clearCmdClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    void updateFindCmd();

    Main& m_main;
    EntryFields m_fields;
    QPushButton* m_findCmd = nullptr;
    QCheckBox* m_matchCheck = nullptr;
    QCheckBox* m_wholeCheck = nullptr;
    QPushButton* m_clearCmd = nullptr;
};

} // namespace callvista

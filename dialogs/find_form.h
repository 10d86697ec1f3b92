#pragma once

#include "core/entry_match.h"
#include "dialogs/form_dialog.h"
#include "widgets/entry_fields.h"

#include <QString>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace callvista {

class SortedLines;

// "Find an Item": "Find Next" finds the next entry after the selected one,
// wrapping to the top, whose fields match the typed criteria, and raises
// entryFound for the caller to select it. It opens with the search it is
// given, and hands back the last search that found something, so that the
// caller can offer it again.
class FindForm : public FormDialog
{
    Q_OBJECT

public:
    // The lines are read where the caller keeps them and must not change
    // while the dialog is open; `selectedRow` is -1 when none is selected.
    FindForm(const SortedLines& lines, int selectedRow, const Search& remembered,
             QWidget* parent = nullptr);

    [[nodiscard]] static FormTable table();

    // The search that last found an entry, its criteria trimmed; the one the
    // dialog opened with when none did.
    [[nodiscard]] Search lastFound() const { return m_lastFound; }

signals:
    void entryFound(int row);

private slots:
    void findNext();
    void clearFields();
    void updateFindButton();

private:
    void placeOptions(QGroupBox& frame);
    [[nodiscard]] Search typedSearch() const;

    const SortedLines& m_lines;
    int m_selectedRow;
    Search m_lastFound;
    EntryFields m_fields;
    QPushButton* m_findButton = nullptr;
    QCheckBox* m_matchCaseBox = nullptr;
    QCheckBox* m_wholeWordBox = nullptr;
    QPushButton* m_clearButton = nullptr;
};

} // namespace callvista

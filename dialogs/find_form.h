#pragma once

#include "core/entry_match.h"
#include "widgets/entry_fields.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace callvista {

class EntryList;

// "Find an Item": "Find Next" selects the next entry of the given list after
// the selected one, wrapping to the top, whose fields match the typed
// criteria. It opens with the search it is given, and hands back the last
// search that found something, so that the caller can offer it again.
class FindForm : public QDialog
{
    Q_OBJECT

public:
    FindForm(EntryList& list, const Search& remembered, QWidget* parent = nullptr);

    // The search that last found an entry, its criteria trimmed; the one the
    // dialog opened with when none did.
    [[nodiscard]] Search lastFound() const { return m_lastFound; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void findNext();
    void clearFields();
    void updateFindCmd();

private:
    void placeOptions(QGroupBox& frame);
    [[nodiscard]] Search typedSearch() const;

    EntryList& m_list;
    Search m_lastFound;
    EntryFields m_fields;
    QPushButton* m_findCmd = nullptr;
    QCheckBox* m_matchCheck = nullptr;
    QCheckBox* m_wholeCheck = nullptr;
    QPushButton* m_clearCmd = nullptr;
};

} // namespace callvista

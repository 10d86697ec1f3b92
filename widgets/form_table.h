#pragma once

#include <QHash>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

namespace callvista {

// What a control of a form is made as: Qt's label, line edit, push button,
// check box and group box; the Phone box; the main window's command button,
// its clickable picture and its entry list; the chooser's drive, folder and
// file lists.
enum class ControlKind {
    Label,
    TextBox,
    PhoneBox,
    Button,
    CheckBox,
    Frame,
    Command,
    Picture,
    Entries,
    Drives,
    Folders,
    Files,
};

// One control of a fixed form as the form was laid out: its object name,
// what it is, its rectangle in twips, its place in the tab order (from 1;
// 0 for one that Tab passes by) and its caption, translated. A command
// button and a picture also name their picture.
struct FormControl {
    const char* name;
    ControlKind kind;
    QRect twips;
    int tab = 0;
    QString caption = {};
    const char* picture = nullptr;
};

// A fixed form: the object name and the size in twips of the widget that
// holds the controls, and the controls in the order they are made, which is
// the order they are stacked in, each over the ones before it.
struct FormTable {
    const char* name;
    QSize twips;
    QList<FormControl> controls;
};

// The controls made from a table.
class FormControls
{
public:
    // The control of that name; it is in the table and made as a T.
    template <typename T = QWidget>
    [[nodiscard]] T* get(const char* name) const
    {
        T* control = qobject_cast<T*>(m_byName.value(QLatin1String(name)));
        Q_ASSERT_X(control, "FormControls::get", name);
        return control;
    }
    // The controls that Tab reaches, in its order.
    [[nodiscard]] const QList<QWidget*>& tabOrder() const { return m_tabOrder; }

private:
    friend FormControls buildForm(QWidget& form, const FormTable& table);

    QHash<QString, QWidget*> m_byName;
    QList<QWidget*> m_tabOrder;
};

// Makes the table's controls on the form: each of its kind, named, placed
// and captioned, in the table's order, and chains the tab order.
FormControls buildForm(QWidget& form, const FormTable& table);

// Chains the controls in the tab order again, after a control was moved to
// another parent, which takes it out of the order.
void chainTabOrder(const FormControls& controls);

} // namespace callvista

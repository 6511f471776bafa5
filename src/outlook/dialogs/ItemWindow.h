#pragma once

#include "outlook/Outlook.h"

#include <QDialog>
#include <QVariant>
#include <vector>

class QCheckBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace ol {

class DateField;

// The window of one item: a contact (or distribution list) on four tabs, an appointment on one
// page, any other item with its subject, categories and notes. Every editor's objectName is the
// name of the property it edits. "Save && Close" writes the properties the user changed and
// saves the item; a store error is reported and the window stays open with the edits.
class ItemWindow : public QDialog {
    Q_OBJECT
public:
    explicit ItemWindow(const ItemPtr& item, QWidget* parent = nullptr);

    QTabWidget* tabs = nullptr; // contacts only
    QLineEdit* txtCategories = nullptr;
    QPushButton* cmdCategories = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* lblRecurrence = nullptr; // appointments only
    QLabel* lblLabel = nullptr;      // appointments only: the calendar label's name on its colour

    ItemPtr item() const { return mItem; }
    // The editor of a property (by its name), or nullptr when this window has none for it.
    QWidget* editor(const QString& propertyName) const;
    // Some editor differs from what the item held when the window opened.
    bool hasChanges() const;
    // Writes the changed properties and saves the item; false (after saying why) when it failed.
    bool save();

    // The text shown for an appointment's recurrence pattern ("Occurs every week on Monday ...").
    static QString recurrenceText(const ItemPtr& item);

public Q_SLOTS:
    void cmdSave_Click();
    void cmdCategories_Click();
    // Cancel, Escape and closing the window: asks whether to save when something changed.
    void reject() override;

private:
    // One edited property. `original` is the editor's value when the window opened.
    struct Field {
        int id;
        QWidget* editor;
        QVariant original;
    };
    enum class NameSource { None, FullName, Parts };

    QWidget* buildContact();
    QWidget* buildAppointment();
    QWidget* buildOther();
    // Lays out `page`: the fields of `form`, then the notes filling the rest.
    QWidget* withNotes(QWidget* page, QFormLayout* form);
    QWidget* buildCategoriesRow();
    QLayout* buildButtons();

    QLineEdit* addLine(int id);
    QPlainTextEdit* addText(int id, int lines);
    DateField* addDate(int id, bool withTime);
    QCheckBox* addCheck(int id, const QString& caption);
    QSpinBox* addSpin(int id, int minimum, int maximum);
    void bind(int id, QWidget* editor);
    void loadValues();

    // The value an editor stands for, in the property's own terms (an all-day appointment's
    // End is the midnight after the last day shown).
    QVariant current(const Field& field) const;
    void setEditorValue(int id, const QVariant& value);
    const Field* field(int id) const;
    bool changed(const Field& field) const;
    // Sets the changed properties on `target`, in the order the store derives them.
    void applyChanges(Item& target) const;

    // The user changed the editor of a property.
    void edited(int id);
    // Brings the full name, its parts, file-as and the title in line with what the user typed,
    // as the store will derive them on saving.
    void refreshNames(int sourceId);
    void startMoved();
    void allDayToggled(bool allDay);
    bool allDay() const;
    QDateTime shownEnd(bool allDayShown) const;
    void measureAppointment();
    QString validate() const;
    void updateTitle(const QString& subject);

    ItemPtr mItem;
    ItemClass mClass;
    std::vector<Field> mFields;
    bool mLoading = true;
    NameSource mNameSource = NameSource::None;
    bool mFileAsTyped = false;
    qint64 mAppointmentLength = -1; // seconds from Start to End as last shown
};

} // namespace ol

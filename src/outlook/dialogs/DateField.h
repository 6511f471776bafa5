#pragma once

#include <QDateTime>
#include <QWidget>

class QCheckBox;
class QDateTimeEdit;

namespace ol {

// A date, or a date and time, that may also be "None": the tick box in front says whether the
// field holds a date at all, so a property without one keeps having none until the user ticks it.
class DateField : public QWidget {
    Q_OBJECT
public:
    explicit DateField(bool withTime, QWidget* parent = nullptr);

    QCheckBox* chkSet;
    QDateTimeEdit* edtValue;

    // An invalid QDateTime when the field is "None". Without a time shown the time is midnight.
    QDateTime value() const;
    void setValue(const QDateTime& value);
    bool hasValue() const;
    // All-day appointments show their dates only.
    void setTimeShown(bool shown);
    bool timeShown() const { return mTimeShown; }

Q_SIGNALS:
    // The user changed the date, the time or whether there is one (setValue is silent).
    void valueChanged();

private:
    void showNone();
    void updateFormat();

    bool mTimeShown;
    bool mQuiet = false;
};

} // namespace ol

#include "DateField.h"

#include "platform/Clock.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLocale>
#include <QRegularExpression>

namespace ol {

namespace {
// The earliest date the editor offers. While the field is unticked the editor stands on it and
// shows "None" in its place.
const QDate kFirstDate(1601, 1, 1);
} // namespace

DateField::DateField(bool withTime, QWidget* parent) : QWidget(parent), mTimeShown(withTime) {
    chkSet = new QCheckBox(this);
    chkSet->setObjectName(QStringLiteral("chkSet"));
    chkSet->setToolTip(QStringLiteral("Tick to enter a date; untick for none"));
    edtValue = new QDateTimeEdit(this);
    edtValue->setObjectName(QStringLiteral("edtValue"));
    edtValue->setCalendarPopup(true);
    edtValue->setMinimumDate(kFirstDate);
    setFocusProxy(edtValue);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chkSet);
    layout->addWidget(edtValue, 1);

    connect(chkSet, &QCheckBox::toggled, this, [this](bool on) {
        if (mQuiet)
            return;
        if (on) {
            // A fresh date starts today; with a time, at the next half hour.
            const QDateTime now = qel::clock().now();
            QDateTime start(now.date(), QTime(0, 0));
            if (mTimeShown)
                start = start.addSecs(qint64((now.time().hour() * 60 + now.time().minute()) / 30 + 1) * 1800);
            setValue(start);
        } else {
            showNone();
        }
        Q_EMIT valueChanged();
    });
    connect(edtValue, &QDateTimeEdit::dateTimeChanged, this, [this] {
        if (!mQuiet && hasValue())
            Q_EMIT valueChanged();
    });

    updateFormat();
    showNone();
}

bool DateField::hasValue() const {
    return chkSet->isChecked();
}

QDateTime DateField::value() const {
    if (!hasValue())
        return {};
    const QDateTime shown = edtValue->dateTime();
    if (!mTimeShown)
        return QDateTime(shown.date(), QTime(0, 0));
    return QDateTime(shown.date(), QTime(shown.time().hour(), shown.time().minute()));
}

void DateField::setValue(const QDateTime& value) {
    if (!value.isValid()) {
        showNone();
        return;
    }
    mQuiet = true;
    chkSet->setChecked(true);
    edtValue->setSpecialValueText(QString());
    edtValue->setEnabled(true);
    edtValue->setDateTime(value);
    mQuiet = false;
}

void DateField::showNone() {
    mQuiet = true;
    chkSet->setChecked(false);
    edtValue->setSpecialValueText(QStringLiteral("None"));
    edtValue->setDateTime(edtValue->minimumDateTime());
    edtValue->setEnabled(false);
    mQuiet = false;
}

void DateField::setTimeShown(bool shown) {
    if (shown == mTimeShown)
        return;
    mTimeShown = shown;
    updateFormat();
}

void DateField::updateFormat() {
    const QLocale locale;
    QString format = locale.dateFormat(QLocale::ShortFormat);
    // Four-digit years: a two-digit year is ambiguous for birthdays.
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    if (mTimeShown) {
        // Hours and minutes: appointments are not kept to the second.
        static const QRegularExpression seconds(QStringLiteral("[:.]ss?"));
        format += QLatin1Char(' ') + locale.timeFormat(QLocale::ShortFormat).remove(seconds);
    }
    mQuiet = true;
    edtValue->setDisplayFormat(format);
    mQuiet = false;
}

} // namespace ol

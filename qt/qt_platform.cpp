#include "qt/qt_platform.h"

#include <QMessageBox>

namespace vandrel::qt {

Regional regionalOf(const QLocale& locale) {
    Regional regional;
    regional.decimalSeparator = locale.decimalPoint().toStdString();
    regional.groupSeparator = locale.groupSeparator().toStdString();
    regional.negativeSign = locale.negativeSign().toStdString();
    return regional;
}

QString promptText(const std::string& prompt) {
    QString text = QString::fromStdString(prompt);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QtPlatform::QtPlatform(const QLocale& locale) : regional_(regionalOf(locale)) {}

int QtPlatform::MsgBox(const std::string& prompt, int /*buttons: only OK is used*/,
                       const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), promptText(prompt),
                    QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return 1;  // OK
}

}  // namespace vandrel::qt

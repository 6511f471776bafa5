#include "Error.h"

namespace ol {

Error::Error(qint64 number, const QString& message)
    : std::runtime_error(message.toStdString()), mNumber(number) {}

} // namespace ol

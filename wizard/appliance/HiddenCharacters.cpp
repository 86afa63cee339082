#include "appliance/HiddenCharacters.h"

#include <QChar>

namespace tarvex {

bool IsHiddenOrBreaking(char32_t code) {
    switch (QChar::category(code)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Surrogate:
        return true;
    default:
        return false;
    }
}

} // namespace tarvex

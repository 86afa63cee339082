#include "appliance/DeviceListCells.h"

#include "appliance/HiddenCharacters.h"

#include <QLocale>
#include <algorithm>

namespace tarvex {
namespace {

// Wide enough for a 64-bit figure times the largest scale used here.
__extension__ typedef __int128 Wide;

constexpr int kSignificantDigits = 15;

[[nodiscard]] Wide powerOfTen(int exponent) {
    Wide result = 1;
    for (int i = 0; i < exponent; ++i) {
        result *= 10;
    }
    return result;
}

// numerator / denominator rounded to a whole number, halves to the even one.
[[nodiscard]] Wide roundHalfEven(Wide numerator, Wide denominator) {
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    Wide quotient = numerator / denominator;
    Wide remainder = numerator % denominator;
    if (remainder < 0) {
        quotient -= 1;
        remainder += denominator;
    }
    const Wide twice = remainder * 2;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0)) {
        quotient += 1;
    }
    return quotient;
}

[[nodiscard]] QString digitsOf(Wide value) {
    QString digits;
    do {
        digits.prepend(QChar(u'0' + static_cast<int>(value % 10)));
        value /= 10;
    } while (value != 0);
    return digits;
}

// The text of value / 10^scale, exact up to 15 significant digits.
[[nodiscard]] QString decimalText(Wide value, int scale) {
    const bool negative = value < 0;
    Wide magnitude = negative ? -value : value;
    int exponent = -scale; // the number is magnitude * 10^exponent
    const int excess = static_cast<int>(digitsOf(magnitude).size()) - kSignificantDigits;
    if (excess > 0) {
        magnitude = roundHalfEven(magnitude, powerOfTen(excess));
        exponent += excess;
    }
    while (magnitude != 0 && magnitude % 10 == 0) {
        magnitude /= 10;
        ++exponent;
    }
    const QString digits = digitsOf(magnitude);
    const auto count = static_cast<int>(digits.size());
    const QString point = QLocale().decimalPoint();
    QString text;
    if (count + exponent > kSignificantDigits) {
        // Too large to write out with 15 digits: mantissa and exponent, as a double prints.
        text = digits.left(1);
        if (count > 1) {
            text += point + digits.mid(1);
        }
        text += QStringLiteral("E+%1").arg(count - 1 + exponent, 2, 10, QChar(u'0'));
    } else if (exponent >= 0) {
        text = digits + QString(exponent, QChar(u'0'));
    } else if (-exponent < count) {
        text = digits.left(count + exponent) + point + digits.mid(count + exponent);
    } else {
        text = QStringLiteral("0") + point + QString(-exponent - count, QChar(u'0')) + digits;
    }
    return negative && magnitude != 0 ? QStringLiteral("-") + text : text;
}

// amount / divisor rounded to `decimals` places, with the unit.
[[nodiscard]] QString figure(qint64 amount, Wide multiplier, Wide divisor, int decimals,
                             const char* unit) {
    const Wide rounded =
        roundHalfEven(static_cast<Wide>(amount) * multiplier * powerOfTen(decimals), divisor);
    return decimalText(rounded, decimals) + QLatin1String(unit);
}

[[nodiscard]] bool breaksLine(QChar c) {
    return c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' ||
           c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph;
}

} // namespace

QString CapacityText(qint64 sectors) {
    constexpr qint64 kSectorBytes = 512;
    // More than 10^9 bytes, and more than 10^6 bytes (1953.125 sectors).
    if (sectors > 1953125) {
        return figure(sectors, kSectorBytes, powerOfTen(9), 1, "GB");
    }
    if (sectors > 1953) {
        return figure(sectors, kSectorBytes, powerOfTen(6), 1, "MB");
    }
    return {};
}

QString AvailableText(qint64 total) {
    if (total > 1000000) {
        return figure(total, 1, powerOfTen(6), 2, "GB");
    }
    if (total > 6000) {
        return figure(total, 1, powerOfTen(3), 2, "MB");
    }
    return QStringLiteral("0");
}

QString UsedShareText(qint64 total, qint64 available) {
    if (available < 1 || total == 0) {
        return QString::number(available);
    }
    // The share is rounded to hundredths before it becomes a percentage, so it is whole.
    const Wide used = static_cast<Wide>(total) - available;
    return decimalText(roundHalfEven(used * 100, total), 0) + QStringLiteral("%");
}

QString DisplayText(const QByteArray& bytes) {
    const QString decoded = QString::fromUtf8(bytes);
    QString text;
    text.reserve(decoded.size());
    for (const char32_t code : decoded.toUcs4()) {
        if (code <= 0xffff && breaksLine(QChar(static_cast<char16_t>(code)))) {
            text += QChar(u' ');
        } else if (IsHiddenOrBreaking(code)) {
            // A control shows as nothing at all, and a format character (a direction override,
            // an isolate, a zero-width space) changes how the text around it reads.
            text += QChar(QChar::ReplacementCharacter);
        } else {
            text += QString::fromUcs4(&code, 1);
        }
    }
    return text;
}

QString ReachabilityCell(Reachability reachability) {
    return reachability == Reachability::Yes ? QStringLiteral("Yes") : QStringLiteral("No");
}

QStringList DeviceListRow(qint16 index, const DeviceRecord& record, Reachability reachability) {
    return {QString::number(index),          ReachabilityCell(reachability),
            DisplayText(record.HostName),    DisplayText(record.IpAddress),
            DisplayText(record.DiskModel),   CapacityText(record.DiskCapacity),
            AvailableText(record.DiskTotal), UsedShareText(record.DiskTotal, record.DiskAvailable)};
}

} // namespace tarvex

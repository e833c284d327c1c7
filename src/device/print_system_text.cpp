// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/print_system_text.h"

#include "platform/codepage.h"

#include <QStringList>

using namespace platform;

namespace device {
namespace {

enum class Render {
    U8,
    S16,
    S16Times10,
    DropFrequency,
    RunningNumber,
    Threshold,
    ConverterFrequency,
    DateOffset,
    SpeedMode,
};

struct Row {
    int offset;
    Render render;
    const char* label;
    int narrowTabs;
    int wideTabs;
    bool k309Only = false;
};

// clang-format off
const Row kRows[] = {
    {1,  Render::S16Times10,         "Интервал Автопечати по времени, мс", 1, 2},
    {4,  Render::U8,                 "Коррекция заряда рабочих капель",    1, 2},
    {5,  Render::S16,                "Задержка старта печати, мс",         2, 2},
    {7,  Render::S16,                "Задержка старта печати, импульсов",  1, 2},
    {9,  Render::DropFrequency,      "Частота каплеобразования",           2, 3},
    {11, Render::U8,                 "Вертикальный размер Марки",          2, 2},
    {14, Render::U8,                 "Замедление скорости печати (грубо)", 1, 2},
    {17, Render::RunningNumber,      "'Бегущей номер' (направление, шаг)", 1, 2},
    {18, Render::U8,                 "Коррекция заряда пустых капель",     1, 2},
    {19, Render::U8,                 "Заряд тестовых капель",              2, 3},
    {20, Render::U8,                 "Число защитных капель",              2, 3},
    {22, Render::U8,                 "Число строк печати (х8, точек)",     1, 2},
    {23, Render::Threshold,          "Порог тестирования фазы заряда",     1, 2},
    {24, Render::U8,                 "Напряжение Генератора Капель",       1, 2},
    {25, Render::S16,                "Замедление скорости печати (точно)", 1, 2},
    {28, Render::U8,                 "Уменьшение Y-шага между каплями",    1, 2},
    {29, Render::U8,                 "Порог видимости Марки",              2, 3},
    {31, Render::ConverterFrequency, "Частота ВВ-преобразователя",         2, 2},
    {35, Render::U8,                 "Раздвижка строк 1-2",                2, 3},
    {36, Render::U8,                 "Раздвижка строк 2-3",                2, 3, true},
    {37, Render::U8,                 "Раздвижка строк 3-4",                2, 3, true},
    {39, Render::DateOffset,         "Смещение Даты, дней",                2, 3},
    {43, Render::U8,                 "Номер печатной марки",               2, 3},
    {44, Render::SpeedMode,          "Режим скорости печати (опция*)",     1, 2},
    {45, Render::S16,                "Интервал Автопечати, импульсов",     1, 2},
};
// clang-format on

constexpr int kFlagOffset = 16;
constexpr int kAutoThresholdBit = 0x02;

class Reply {
public:
    explicit Reply(const QByteArray& bytes) : bytes_(bytes.left(256)) {}
    quint8 u8(int offset) const {
        return offset < bytes_.size() ? quint8(bytes_.at(offset)) : quint8(0);
    }
    qint16 s16(int offset) const { return qint16(u8(offset) | (u8(offset + 1) << 8)); }

private:
    QByteArray bytes_;
};

QString dateOffsetText(const Reply& r, int offset) {
    QByteArray digits;
    for (int i = 0; i < 4 && r.u8(offset + i) != 0; ++i)
        digits.append(char(r.u8(offset + i)));
    qsizetype zeros = 0;
    while (zeros < digits.size() && digits.at(zeros) == '0')
        ++zeros;
    digits.remove(0, zeros);
    return digits.isEmpty() ? QStringLiteral("0") : fromCp1251(digits);
}

QString speedModeText(quint8 mode, bool k309) {
    if (mode >= '5' && mode <= '7')
        return QStringLiteral("быстрая (Y=%1)").arg(QChar(mode));
    return k309 ? QStringLiteral("обычная (Y=8..32)") : QStringLiteral("обычная (Y=8/16)");
}

QString valueText(const Row& row, const Reply& r, bool k309) {
    switch (row.render) {
    case Render::U8:
        return QString::number(r.u8(row.offset));
    case Render::S16:
        return QString::number(r.s16(row.offset));
    case Render::S16Times10:
        return QString::number(int(r.s16(row.offset)) * 10);
    case Render::DropFrequency:
        return dropFrequencyText(qint8(r.u8(row.offset)));
    case Render::RunningNumber: {
        // Control characters below 31 (and every byte from 0x80 up, taken as signed) read as +.
        const qint8 c = qint8(r.u8(row.offset));
        return (c < 31 ? QStringLiteral("+") : QString(QChar(c))) + QLatin1Char('1');
    }
    case Render::Threshold: {
        const bool automatic = (r.u8(kFlagOffset) & kAutoThresholdBit) == 0;
        return QString::number(r.u8(row.offset)) +
               (automatic ? QStringLiteral(" (авто)") : QString());
    }
    case Render::ConverterFrequency:
        return converterFrequencyText(r.u8(row.offset));
    case Render::DateOffset:
        return dateOffsetText(r, row.offset);
    case Render::SpeedMode:
        return speedModeText(r.u8(row.offset), k309);
    }
    return {};
}

// The decimal text of a single-precision value, as many digits as the cut needs.
QString floatText(float value) {
    return QString::number(double(value), 'f', 6);
}

} // namespace

QString dropFrequencyText(qint8 code) {
    const QString unit = QStringLiteral(" кГц  ");
    // At -80 the divisor is zero and below it the frequency turns negative.
    if (code <= -80)
        return QStringLiteral("???") + unit;
    return floatText(8000.0f / float(code + 80)).left(5) + unit;
}

QString converterFrequencyText(quint8 value) {
    if (value < 113)
        return QStringLiteral("??? кГц");
    return floatText(7373.0f / float(value + 1)).left(4) + QStringLiteral(" кГц");
}

QString printSystemSettingsText(const QByteArray& reply, const QString& modelName,
                                bool wideLayout) {
    const Reply r(reply);
    const bool k309 = modelName == QLatin1String("K309");
    QStringList lines;
    for (const Row& row : kRows) {
        if (row.k309Only && !k309)
            continue;
        lines.append(QString::fromUtf8(row.label) +
                     QString(wideLayout ? row.wideTabs : row.narrowTabs, QLatin1Char('\t')) +
                     valueText(row, r, k309));
    }
    return QStringLiteral("УСТАВКИ СИСТЕМЫ ПЕЧАТИ  ( ") + modelName + QStringLiteral(" ) :\r\n\n") +
           lines.join(QStringLiteral("\n\r"));
}

} // namespace device

#include "layout/SectionPlan.h"

#include <stdexcept>
#include <string>

namespace rv {
namespace {

RowPlan V(const char* caption, const char* field, int height = 20) {
    return RowPlan{RowKind::Value, caption, field, FieldKind::Label, height};
}
RowPlan E(const char* caption, const char* field) {
    return RowPlan{RowKind::Value, caption, field, FieldKind::Edit, 20};
}
RowPlan Sep() {
    return RowPlan{RowKind::Separator, nullptr, nullptr, FieldKind::Label, 6};
}
RowPlan Gap(int height) {
    return RowPlan{RowKind::Gap, nullptr, nullptr, FieldKind::Label, height};
}
RowPlan In(const char* caption, const char* captionName, const char* field, std::uint32_t marker) {
    return RowPlan{RowKind::Input, caption, field, FieldKind::Label, 20, captionName, marker};
}

// The rows under the input rows of "Дискретные входы / выходы" line their fields up with the
// input fields: their caption spans the marker cell and the input caption.
RowPlan Wide(RowPlan row, int captionWidth) {
    row.captionWidth = captionWidth;
    return row;
}

constexpr std::uint32_t kOrange = 0x004080FF;
constexpr std::uint32_t kPurple = 0x00800080;
constexpr std::uint32_t kYellow = 0x0000FFFF;

std::vector<SectionPlan> BuildSections() {
    std::vector<SectionPlan> s;
    s.push_back({"PanelA1",
                 "Подключение COM",
                 "cmdSCom",
                 60,
                 SectionBody::Rows,
                 {V("Порт:", "L_PNUM"), V("Статус:", "L_PSTAT", 22)}});
    s.push_back({"PanelA2",
                 "Параметры устройства",
                 "cmdSParam",
                 120,
                 SectionBody::Rows,
                 {V("Модель:", "LL_DI0"), E("ID блока:", "LL_DN"), E("IMEI модема:", "LL_MN"),
                  V("Версия ПО:", "LL_DI1"), Sep(), V("Внутреннее время:", "LL_TW0"),
                  V("Время работы:", "LL_TW1"), Sep(), V("Обновление настроек:", "LL_DF0", 22),
                  V("Обновление ПО:", "LL_DF1")},
                 {{"SpeedButton3", HeaderPicture::Refresh, "Обновить параметры"}}});
    s.push_back({"PanelA3",
                 "Статус",
                 "cmdSStat",
                 150,
                 SectionBody::Rows,
                 {V("Внутренняя память:", "LL_DS0"), V("Внешняя память:", "LL_DS1"),
                  V("Часы реального времени:", "LL_DS2"), V("Датчик движения:", "LL_DS11"), Gap(6),
                  V("GPS / GLONASS модуль:", "LL_DS10"), V("GSM модем:", "LL_DS4"),
                  V("SIM1 карта:", "LL_DS6"), V("PIN1 код:", "LL_DS8"), V("SIM2 карта:", "LL_DS62"),
                  V("PIN2 код:", "LL_DS82")},
                 {{"SpeedButton2", HeaderPicture::Refresh, "Обновить статус"}}});
    s.push_back(
        {"PanelA4", "Цифровые входы / выходы", "cmdSCifr", 150, SectionBody::SensorArea, {}});
    s.push_back(
        {"PanelB1",
         "Навигация",
         "cmdSNav",
         80,
         SectionBody::Rows,
         {V("Широта:", "LL_GK0"), V("Долгота:", "LL_GK1"), Sep(), V("Скорость:", "LL_GS1"),
          V("Высота:", "LL_GS2"), V("Спутники:", "LL_GS0"), V("Азимут:", "LL_GS4"),
          V("HDOP:", "LL_GS3"), Sep(), V("RMC пакеты:", "LL_RMC"), V("GGA пакеты:", "LL_GCA")},
         {{"SpeedButton4", HeaderPicture::On, "Включить лог с модуля "},
          {"SpeedButton1", HeaderPicture::Off, "Выключить лог с модуля "}}});
    s.push_back({"PanelB2",
                 "GSM",
                 "cmdSGsm",
                 130,
                 SectionBody::Rows,
                 {V("AT команды:", "LL_MS1"),
                  V("Регистрация в сети:", "LL_MS2"),
                  V("GPRS сервис:", "LL_MS4"),
                  V("Соединение с сервером:", "LL_MS6"),
                  V("Подтверждение сервера:", "LL_MS7"),
                  Sep(),
                  Gap(4),
                  V("Оператор:", "LL_MO"),
                  RowPlan{RowKind::Signal, "Уровень сигнала:", "LL_ML"},
                  V("Сервер:", "LL_MD0"),
                  V("TCP сессий:", "LL_MD2"),
                  V("Последний пакет:", "LL_SS"),
                  V("Последний ответ:", "LL_SA"),
                  V("Ожидание ответа:", "LL_MT3"),
                  V("Очередь на отправку:", "LL_MB"),
                  V("Прошло после отправки:", "LL_MW1"),
                  Sep(),
                  V("Передано по GPRS:", "LL_MT1"),
                  V("Принято по GPRS:", "LL_MT2"),
                  Sep(),
                  V("SMS входящие/валидные", "LL_SMSIN"),
                  V("SMS исходящие", "LL_SMSOUT")},
                 {{"SpeedButton7", HeaderPicture::On, nullptr},
                  {"SpeedButton6", HeaderPicture::Off, nullptr},
                  {"SpeedButton8", HeaderPicture::Refresh, nullptr}}});
    s.push_back({"PanelB3",
                 "Память",
                 "cmdSPam",
                 100,
                 SectionBody::Rows,
                 {V("Записано:", "LL_RW1"), V("Прочитано:", "LL_RW0"), Sep(),
                  V("Использовано:", "LL_RWRES")}});
    s.push_back({"PanelC1",
                 "Дискретные входы / выходы",
                 "cmdSDiskr",
                 84,
                 SectionBody::Rows,
                 {In("0:", "LL0", "LL_I0", kOrange), In("1:", "LL1", "LL_I1", kOrange),
                  In("2:", "LL2", "LL_I2", kPurple), In("3:", "LL3", "LL_I3", kPurple),
                  In("4:", "LL4", "LL_I4", kYellow), In("5:", "LL5", "LL_I5", kYellow), Sep(),
                  Wide(V("Внешнее питание:", "LL_PB0"), 104),
                  Wide(RowPlan{RowKind::Battery, "Аккумулятор:", "LL_PB1"}, 104)}});
    s.push_back({"PanelC2", "Настройки", "cmdSNastr", 30, SectionBody::Settings, {}});
    s.push_back({"PanelC3", "Данные", "cmdSDan", 64, SectionBody::Data, {}});
    return s;
}

SensorRowPlan H(int number, const char* title) {
    return SensorRowPlan{SensorRowKind::GroupHeader, number, title, nullptr};
}
SensorRowPlan SV(int number, const char* caption, const char* field) {
    return SensorRowPlan{SensorRowKind::Value, number, caption, field};
}
SensorRowPlan OW(int number, const char* captionName, const char* field) {
    return SensorRowPlan{SensorRowKind::Value, number, nullptr, field, captionName};
}
SensorRowPlan LLS(int number, const char* captionName, const char* level, const char* frequency,
                  const char* temperature) {
    return SensorRowPlan{
        SensorRowKind::FuelLevel, number, nullptr, level, captionName, frequency, temperature};
}

std::vector<SensorRowPlan> BuildSensorRows() {
    return {
        H(366, "датчик CAN-LOG"),
        SV(195, "Номер программы CAN:", "LL_CV0"),
        SV(197, "Валидные/невалидные:", "LL_CV1"),
        SV(216, "Время работы двигателя (ч):", "LL_CA"),
        SV(208, "Полный пробег ТС (км):", "LL_CC"),
        SV(205, "Полный расход топлива (л):", "LL_CE"),
        SV(243, "Уровень топлива в баке (%):", "LL_CG"),
        SV(223, "Уровень топлива в баке (л):", "LL_CR"),
        SV(241, "Обороты двигателя (rpm):", "LL_CH"),
        SV(239, "Температура двигателя (°C):", "LL_CI"),
        SV(237, "Скорость ТС (км/ч):", "LL_CJ"),
        SV(225, "Контроллеры аварии:", "LL_CP"),
        SV(220, "Состояние безопасности:", "LL_CS"),
        SV(235, "Давление на ось 1 (кг):", "LL_CK"),
        SV(233, "Давление на ось 2 (кг):", "LL_CL"),
        SV(231, "Давление на ось 3 (кг):", "LL_CM"),
        SV(229, "Давление на ось 4 (кг):", "LL_CN"),
        SV(227, "Давление на ось 5 (кг):", "LL_CO"),
        SV(303, "Мгновенный расход:", "LL_CT"),
        SV(305, "Уровень AdBlue:", "LL_CU"),
        H(375, "датчик ICT"),
        SV(172, "Последняя купюра:", "LL_ICT0"),
        SV(376, "Сумма:", "LL_ICT1"),
        SV(127, "Количество купюр:", "LL_ICT2"),
        H(365, "датчик ГАНК"),
        SV(209, "Углерода оксид (CO):", "LL_GAS1480"),
        SV(268, "Азота диоксид (NO2):", "LL_GAS10"),
        SV(266, "Азота оксид (NO):", "LL_GAS20"),
        SV(264, "Ангидрид сернистый (SO2):", "LL_GAS70"),
        SV(262, "Формальдегид (HCOH):", "LL_GAS1520"),
        SV(260, "Гексан (C6H14):", "LL_GAS340"),
        SV(270, "Метан (CH4):", "LL_GAS960"),
        SV(258, "Углеводороды (CnHm):", "LL_GAS1460"),
        H(364, "датчик 1-wire температура"),
        OW(307, "LLOWT0", "LL_OW0"),
        OW(309, "LLOWT1", "LL_OW1"),
        OW(311, "LLOWT2", "LL_OW2"),
        OW(313, "LLOWT3", "LL_OW3"),
        OW(315, "LLOWT4", "LL_OW4"),
        OW(317, "LLOWT5", "LL_OW5"),
        H(363, "датчик MicroLink"),
        SV(329, "Return Temp:", "LL_ML0"),
        SV(327, "Supply Temp:", "LL_ML1"),
        SV(325, "Set Point:", "LL_ML2"),
        SV(323, "ContainerID:", "LL_ML3"),
        SV(319, "SN:", "LL_ML5"),
        H(332, "датчик LLS"),
        SensorRowPlan{SensorRowKind::ColumnTitles, kSensorColumnTitleRow, nullptr, nullptr},
        LLS(338, "LLS0", "LL_LS0Y", "LL_LS0Z", "LL_LS0T"),
        LLS(343, "LLS1", "LL_LS1Y", "LL_LS1Z", "LL_LS1T"),
        LLS(333, "LLS2", "LL_LS2Y", "LL_LS2Z", "LL_LS2T"),
        LLS(358, "LLS3", "LL_LS3Y", "LL_LS3Z", "LL_LS3T"),
        LLS(353, "LLS4", "LL_LS4Y", "LL_LS4Z", "LL_LS4T"),
        LLS(348, "LLS5", "LL_LS5Y", "LL_LS5Z", "LL_LS5T"),
    };
}

std::vector<SensorGroupPlan> BuildSensorGroups(const std::vector<SensorRowPlan>& rows) {
    std::vector<SensorGroupPlan> groups;
    for (const auto& r : rows) {
        if (r.kind == SensorRowKind::GroupHeader) {
            groups.push_back({r.number, {}, r.number == 332});
        } else if (r.kind == SensorRowKind::Value || r.kind == SensorRowKind::FuelLevel) {
            groups.back().valueRows.push_back(r.number);
        }
    }
    return groups;
}

}  // namespace

const std::vector<SectionPlan>& MonitorSections() {
    static const std::vector<SectionPlan> sections = BuildSections();
    return sections;
}

const SectionPlan& MonitorSection(std::string_view name) {
    for (const auto& s : MonitorSections()) {
        if (name == s.name) return s;
    }
    throw std::logic_error("no section " + std::string(name));
}

int RowsHeight(const SectionPlan& section) {
    int height = 0;
    for (const auto& row : section.rows) height += row.height;
    return height;
}

int UnfoldedHeight(const SectionPlan& section) {
    return 2 * kSectionBorder + kSectionHeaderHeight + RowsHeight(section);
}

const std::vector<SensorRowPlan>& SensorRows() {
    static const std::vector<SensorRowPlan> rows = BuildSensorRows();
    return rows;
}

const std::vector<SensorGroupPlan>& SensorGroups() {
    static const std::vector<SensorGroupPlan> groups = BuildSensorGroups(SensorRows());
    return groups;
}

}  // namespace rv

#include "text/texts.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace velmora {
namespace {

struct BuiltinEntry {
    TextId id;
    std::string_view text;
};

// Every built-in text, ascending by number. The dialog texts repeat the templates' own.
constexpr BuiltinEntry kBuiltin[] = {
    {txt::kOk, "OK"},
    {txt::kCancel, "Отмена"},
    {txt::kSettings, "Настрой&ки"},
    {txt::kHelp, "Справка"},
    {txt::kCaptionOneFile, "&Создать ссылку для \"%s\" в:"},
    {txt::kCaptionSeveral, "&Создать ссылки для выделенных файлов (%d шт.) в:"},
    {txt::kDepthLabel, "Глубин&а рекурсии для создания ссылок на каталоги:"},
    {txt::kSettingsTitle, "Настройки"},
    {txt::kSettingsOk, "OK"},
    {txt::kSettingsCancel, "Отмена"},
    {txt::kSettingsHelp, "Справка"},
    {txt::kSaveWindowPos, "Сохранять &положение окна"},
    {txt::kSaveDepth, "Сохранять глу&бину рекурсии"},
    {txt::kDefaultDepth, "Глубин&а рекурсии по умолчанию:"},
    {txt::kLanguageFile, "&Языковой файл:"},
    {txt::kLanguageFilter, "Языковые файлы (*.lng)|*.lng|Все файлы (*.*)|*.*||"},
    {txt::kHelpFileLabel, "Файл &справки:"},
    {txt::kHelpFilter, "Файлы справки (*.chm)|*.chm|Все файлы (*.*)|*.*||"},
    {txt::kErrorTitle, "Ошибка"},
    {txt::kSkip, "&Пропустить"},
    {txt::kRetry, "Повтор&ить"},
    {txt::kSkipAll, "Пропустить &все"},
    {txt::kErrorCancel, "&Отмена"},
    {txt::kFileLinkError, "Ошибка при создании ссылки для файла\n%s"},
    {txt::kFolderLinkError, "Ошибка при создании ссылки для каталога\n%s"},
    {txt::kFolderError, "Ошибка при создании каталога\n%s"},
    {txt::kUnknownError, "Неизвестная ошибка!"},
    {txt::kFolderReadError, "Ошибка при чтении каталога\n%s"},
    {txt::kNotFullPath, "Это не полный путь: неизвестно, какой файл или каталог имеется в виду."},
    {txt::kRootEntry, "Это корневой каталог: у него нет имени, которое могла бы получить ссылка."},
    {txt::kLinkIsSource, "Ссылка заняла бы место самого источника."},
    {txt::kMirrorInSource,
     "Каталог-зеркало совпал бы с исходным каталогом или лежал бы внутри него."},
    {txt::kNameIsReparsePoint,
     "Это имя уже занято точкой соединения или символической ссылкой; оно не изменяется."},
    {txt::kJunctionNotLocal, "Точка соединения может вести только к каталогу на локальном диске."},
    {txt::kHardLinkOtherVolume,
     "Жёсткая ссылка не может вести на другой диск: файлы лежат на %s, а цель — на %s. "
     "Выберите цель на том же диске или глубину рекурсии 0 (точка соединения)."},
    {txt::kNoHardLinksOnVolume,
     "Диск %s не поддерживает жёсткие ссылки (например, FAT32 или exFAT)."},
    {txt::kAboutTitle, "О программе"},
    {txt::kAboutMenu, "&О программе..."},
    {txt::kAboutProgram, "Программа: Velmora"},
    {txt::kAboutVersion, "Версия: "},
    {txt::kAboutDeveloper, "Разработчик: Tarnwell"},
    {txt::kAboutHomePage, "Домашняя страница:"},
    {txt::kBatchRunning, "Создание ссылок..."},
    {txt::kBatchCounts, "Создано ссылок: %d, каталогов: %d"},
    {txt::kBatchCurrent, "Обрабатывается: %s"},
    {txt::kBatchStopping, "Прерывание..."},
    {txt::kBatchCounting, "Подсчёт... %d файл|Подсчёт... %d файла|Подсчёт... %d файлов"},
    {txt::kTimeLeftUnderMinute, "Осталось меньше минуты"},
    {txt::kTimeLeftMinutes,
     "Осталась примерно %d минута|Осталось примерно %d минуты|Осталось примерно %d минут"},
    {txt::kTimeLeftHours,
     "Остался примерно %d час|Осталось примерно %d часа|Осталось примерно %d часов"},
    {txt::kSummarySkipped, "Созданы не все ссылки: часть элементов пропущена."},
    {txt::kSummaryHardLinks, "Создано жёстких ссылок: %d"},
    {txt::kSummaryJunctions, "Создано точек соединения: %d"},
    {txt::kSummaryFolders, "Создано каталогов: %d"},
    {txt::kSummaryInPlace, "Уже были на месте: %d"},
    {txt::kSummarySkipCount, "Пропущено: %d"},
    {txt::kSummaryNames, "Пропущены:"},
    {txt::kSummaryMoreNames, "и ещё %d"},
    {txt::kSummaryDuration, "Время работы: %s"},
    {txt::kWrongArgs, "Неправильное число параметров!"},
    {txt::kListUnreadable, "Не удаётся открыть список файлов!"},
    {txt::kOneLinkSeveral, "Нельзя создавать одну ссылку для нескольких объектов!"},
    {txt::kCommandFailed, "Не удалось выполнить команду.\nКод ошибки: %d."},
    {txt::kHelpFailed, "Не удалось открыть файл справки!"},
    {txt::kSaveFailed, "Ошибка при сохранении настроек!"},
    {txt::kNotAnInteger, "Введите целое число."},
    {txt::kListEmpty, "Список файлов «%s» пуст: в нём нет ни одной строки."},
    {txt::kListZeroByte,
     "Список файлов «%s» содержит нулевой байт, за которым есть текст: список повреждён, "
     "ссылки не создаются."},
    {txt::kListUnreadableCoding,
     "Список файлов «%s» записан в кодировке UTF-16 BE или UTF-32, которую программа не "
     "читает. Нужен список в UTF-16 LE, UTF-8 или кодировке ANSI."},
};

constexpr bool IsAscending() {
    for (std::size_t i = 1; i < std::size(kBuiltin); ++i) {
        if (kBuiltin[i - 1].id >= kBuiltin[i].id) return false;
    }
    return true;
}
static_assert(IsAscending(), "the built-in table must be sorted by number, each number once");

}  // namespace

std::string_view BuiltinText(TextId id) {
    const auto it = std::lower_bound(std::begin(kBuiltin), std::end(kBuiltin), id,
                                     [](const BuiltinEntry& e, TextId key) { return e.id < key; });
    if (it == std::end(kBuiltin) || it->id != id) return {};
    return it->text;
}

const std::vector<TextId>& AllTextIds() {
    static const std::vector<TextId> ids = [] {
        std::vector<TextId> all;
        all.reserve(std::size(kBuiltin));
        for (const auto& e : kBuiltin) all.push_back(e.id);
        return all;
    }();
    return ids;
}

std::optional<std::string_view> TextCatalog::Find(TextId id) const {
    const auto it = m_table.find(id);
    if (it == m_table.end()) return std::nullopt;
    return std::string_view(it->second);
}

std::string TextCatalog::Text(TextId id) const {
    return std::string(Find(id).value_or(BuiltinText(id)));
}

std::string TextCatalog::FormatWith(TextId id, std::string_view suffix,
                                    std::initializer_list<FormatArg> args) const {
    std::string builtin(BuiltinText(id));
    builtin += suffix;
    const std::optional<std::string_view> found = Find(id);
    if (!found) return SafeFormat(builtin, builtin, args);
    std::string format(*found);
    format += suffix;
    return SafeFormat(format, builtin, args);
}

}  // namespace velmora

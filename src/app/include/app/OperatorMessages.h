#pragma once
// The operations' own messages to the operator, shown exactly as written.
namespace nkq::messages {

inline constexpr const char* kTimeout = "Тайм-аут";
inline constexpr const char* kCheckConnection = "Ошибка. Проверьте подключение устройства";
inline constexpr const char* kReadSucceeded = "Параметры успешно считаны";
inline constexpr const char* kWriteSucceeded = "Параметры успешно записаны";
inline constexpr const char* kCmdWriteFailed = "Ошибка записи CMD";
inline constexpr const char* kLineWriteFailed = "Ошибка записи";
inline constexpr const char* kSaveWriteFailed = "Ошибка записи SAVE";
// The modem sent more than the step just sent asks for: its answers are out
// of step with the workstation's.
inline constexpr const char* kExtraAnswer = "Ошибка передачи - лишний ответ устройства";
inline constexpr const char* kRs485Notice =
    "Режим управления потоком не поддерживается устройствами на базе интерфейса RS485";

// Firmware update.
inline constexpr const char* kUpdateQuestion = "Вы собираетесь обновить ПО устройства. Вы уверены?";
inline constexpr const char* kQuestionCaption = "Вопрос";
inline constexpr const char* kDeviceNotFound = "Устройство не найдено";
inline constexpr const char* kSyncFailed = "Ошибка синхронизации";
inline constexpr const char* kTransferFailed = "Ошибка передачи";
inline constexpr const char* kInvalidAcknowledgement = "Ошибка передачи - недопустимый ответ";
inline constexpr const char* kImageTooLarge = "Файл прошивки слишком велик: более 65535 блоков";
inline constexpr const char* kImageTooSmall = "Файл прошивки слишком мал: нет ни одного полного блока";

}  // namespace nkq::messages

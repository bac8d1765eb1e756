#pragma once
// The texts the installer shows: caption endings, button captions and
// messages, exactly as the user sees them.
#include <string_view>

namespace installer::texts {

// Window caption: VoiceName followed by one of these.
inline constexpr std::string_view kCaptionArchiveMissing = " - 安装文件缺失";
inline constexpr std::string_view kCaptionInstalled = " - 音源已安装";
inline constexpr std::string_view kCaptionAbsent = " - 音源不存在";
inline constexpr std::string_view kCaptionIncomplete = " - 音源不完全";
inline constexpr std::string_view kCaptionInstalling = " - 安装中";
inline constexpr std::string_view kCaptionRepairing = " - 修复中";

inline constexpr std::string_view kButtonInstall = "安装";
inline constexpr std::string_view kButtonUninstall = "卸载";
inline constexpr std::string_view kButtonRepair = "修复";

inline constexpr std::string_view kTitleInfo = "提示";
inline constexpr std::string_view kTitleError = "错误";
inline constexpr std::string_view kTitleWarning = "警告窗口";

inline constexpr std::string_view kInstallSucceeded = "音源[安装]成功！";
inline constexpr std::string_view kRepairSucceeded = "音源[修复]成功！";
inline constexpr std::string_view kInstallFailed = "音源[安装]失败！";
inline constexpr std::string_view kRepairFailed = "音源[修复]失败！";
// Causes, on the line after the failure text.
inline constexpr std::string_view kCauseNoStart = "解压程序无法启动";
inline constexpr std::string_view kCauseExitCode = "解压程序返回错误代码 ";  // followed by the code in decimal
inline constexpr std::string_view kCauseNoWait = "无法等待解压程序结束";
inline constexpr std::string_view kCauseNoExitCode = "无法读取解压程序的返回代码";
inline constexpr std::string_view kCauseFilesIncomplete = "音源文件不完整";
inline constexpr std::string_view kCauseRegistry = "无法写入注册表";
// The folder an attempt extracts into (staging_folder.h): one left from an
// attempt before cannot be removed, a new one cannot be made, or what was
// extracted cannot be written to disk or moved into place.
inline constexpr std::string_view kCauseStagingStays = "上次解压的临时文件夹无法删除";
inline constexpr std::string_view kCauseStagingMake = "无法创建临时解压文件夹";
inline constexpr std::string_view kCauseFlush = "无法将解压的文件写入磁盘";
inline constexpr std::string_view kCauseMove = "无法将解压的文件移入音源文件夹";
// One more line when the folder of a failed attempt cannot be removed at once.
inline constexpr std::string_view kCauseStagingLeft = "临时解压文件夹未能删除，下次启动时将再次删除";
// The voice folder or a voice file leads somewhere else than its path says.
inline constexpr std::string_view kCauseFolderLink = "音源文件夹是一个链接";
inline constexpr std::string_view kCauseFileLink = "音源文件是一个链接";
// DATA\Ilvo.yin or DATA\Rar.exe missing, or the program's folder no full
// path: the same words as the caption.
inline constexpr std::string_view kCauseDataMissing = "安装文件缺失";

inline constexpr std::string_view kUninstallConfirm = "确定要卸载么？";
inline constexpr std::string_view kUninstallSucceeded = "音源[删除]成功！";
inline constexpr std::string_view kUninstallInUse = "音源正被使用，请结束后再卸载";
inline constexpr std::string_view kUninstallFailed = "音源[删除]失败！";
inline constexpr std::string_view kCauseRecordStays = "无法删除注册表记录";
// Uninstall with neither voice files nor record, but the voice's entry left
// in the system's list of installed programs.
inline constexpr std::string_view kOrphanEntryRemoved = "音源不存在，已从程序列表中删除其残留项";

// Why the session may not end yet, as the system shows it.
inline constexpr std::string_view kSessionBlockedInstalling = "正在安装音源，请稍候";
inline constexpr std::string_view kSessionBlockedRepairing = "正在修复音源，请稍候";

inline constexpr std::string_view kExportConfirm = "需要导出注册表到文件目录么？";
inline constexpr std::string_view kExportFailed = "注册表导出失败！";

// The command-line mode.
inline constexpr std::string_view kAlreadyRunning = "安装程序已在运行";
inline constexpr std::string_view kUsageTitle = "用法";
inline constexpr std::string_view kUsage =
    "用法：IlvoInstaller.exe [/status | /install | /repair | /uninstall | /export] [/quiet]\r\n"
    "/status     只检测状态：1 已安装，2 不存在，3 不完全，4 不存在或不完全且安装文件缺失\r\n"
    "/install    安装（音源不存在时）\r\n"
    "/repair     修复（音源不完全时）\r\n"
    "/uninstall  卸载，不再询问\r\n"
    "/export     导出注册表到 Ilvo.reg，不再询问\r\n"
    "/quiet      不显示任何对话框\r\n"
    "返回值：0 成功，5 安装程序已在运行，10 当前状态不允许，20 失败，87 参数错误";

}  // namespace installer::texts

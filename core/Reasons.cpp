#include "Reasons.h"

#include "EncodingId.h"
#include "MappingTablesFile.h"
#include "SourceRefusal.h"
#include "SystemError.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <ostream>

namespace veltran {
namespace {

// One reason: its code, its name in the report, and its sentence in each language. In the sentences
// {error} stands for the system's reason, {number}, {encoding} and {name} for the context's.
struct Reason
{
    StatusCode code;
    std::string_view name;
    std::string_view english;
    std::string_view chinese;
};

using C = StatusCode;

// clang-format off
constexpr Reason kReasons[] = {
    {C::Ok, "Ok", "", ""},
    {C::NotFound, "NotFound", "file not found", "文件不存在"},
    {C::LinkToNothing, "LinkToNothing", "the link points to no file", "链接指向的文件不存在"},
    {C::LinkLoop, "LinkLoop", "too many levels of symbolic links", "符号链接的层数太多"},
    {C::SymbolicLink, "SymbolicLink", "is a symbolic link", "是符号链接"},
    {C::Folder, "Folder", "is a folder", "是文件夹"},
    {C::SpecialFile, "SpecialFile", "is not a regular file (a FIFO, device or socket)",
     "不是普通文件（是管道、设备或套接字）"},
    {C::TooLarge, "TooLarge", "is larger than {number} bytes", "大于 {number} 字节"},
    {C::Permission, "Permission", "permission denied", "没有权限"},
    {C::OpenFailed, "OpenFailed", "cannot open: {error}", "无法打开：{error}"},
    {C::ReadFailed, "ReadFailed", "cannot read: {error}", "无法读取：{error}"},
    {C::BeingConverted, "BeingConverted", "being converted by another run", "另一次处理正在转换此文件"},
    {C::Empty, "Empty", "the file is empty", "文件是空的"},
    {C::ByteOrderMarkOnly, "ByteOrderMarkOnly", "the file holds a byte-order mark only",
     "文件只有字节顺序标记（BOM），没有内容"},
    {C::InvalidBytes, "InvalidBytes", "bytes not valid in {encoding} at offset {number}",
     "第 {number} 字节起不是有效的 {encoding} 编码"},
    {C::WrongEncoding, "WrongEncoding", "{refusal}", "{refusal}"},
    {C::AlreadyUtf8, "AlreadyUtf8", "{refusal}", "{refusal}"},
    {C::ConvertedFromBackup, "ConvertedFromBackup", "converted already: it is what converting {name} gives",
     "已经转换过：它就是 {name} 转换后的结果"},
    {C::EmptyResult, "EmptyResult", "the rules left no text, and {encoding} cannot store an empty file",
     "替换规则删去了全部内容，而 {encoding} 文件不能为空"},
    {C::MappingFailed, "MappingFailed", "{name}", "简繁转换出错：{name}"},
    {C::OutOfMemory, "OutOfMemory", "not enough memory for this file", "内存不足，无法处理此文件"},
    {C::SparseFile, "SparseFile", "is binary: a sparse file, with holes of NUL bytes",
     "是二进制文件：稀疏文件，含有 NUL 字节的空洞"},
    {C::NulBytesOnly, "NulBytesOnly", "is binary: every byte is NUL", "是二进制文件：全部字节都是 NUL"},
    {C::AlreadyConverted, "AlreadyConverted", "already converted in this run", "本次处理中已转换过"},
    {C::FolderUnreadable, "FolderUnreadable", "the folder could not be searched", "无法查找此文件夹"},
    {C::NotAFolder, "NotAFolder", "is not a folder", "不是文件夹"},
    {C::HardLinked, "HardLinked", "has {number} hard links", "有 {number} 个硬链接"},
    {C::NotPutBack, "NotPutBack", "file not found, and its backup {name} could not be put back: {error}",
     "文件不存在，其备份 {name} 无法放回原处：{error}"},
    {C::NotStaged, "NotStaged", "not a file staged by a run", "不是处理过程留下的临时文件"},
    {C::StagedInUse, "StagedInUse", "in use by a run that is converting {name}", "另一次处理正在转换 {name}，仍在使用此文件"},
    {C::CannotRemove, "CannotRemove", "cannot remove it: {error}", "无法删除：{error}"},
    {C::ReadOnly, "ReadOnly", "the file is read-only", "文件是只读的"},
    {C::BackupBlocked, "BackupBlocked", "something other than a file is at the backup path {name}",
     "备份位置已被占用，那里不是文件：{name}"},
    {C::ChangedMeanwhile, "ChangedMeanwhile", "changed during conversion", "转换期间文件被改动，未覆盖"},
    {C::CannotCreate, "CannotCreate", "cannot create a file in the folder: {error}", "无法在文件夹中新建文件：{error}"},
    {C::WriteFailed, "WriteFailed", "write failed: {error}", "写入失败：{error}"},
    {C::CannotSetPermissions, "CannotSetPermissions", "cannot set the permissions: {error}", "无法设置权限：{error}"},
    {C::CannotNameNewFile, "CannotNameNewFile", "cannot name the new file: {error}", "无法为新文件命名：{error}"},
    {C::CannotMakeBackup, "CannotMakeBackup", "cannot make the backup: {error}", "无法建立备份：{error}"},
    {C::CannotCopyBackup, "CannotCopyBackup", "cannot copy the original to the backup: {error}",
     "无法把原文件复制为备份：{error}"},
    {C::CannotPlaceNewFile, "CannotPlaceNewFile", "cannot put the new file in place: {error}",
     "无法用新文件替换原文件：{error}"},
    {C::RulesTooMany, "RulesTooMany", "line {number}: more than {name} rules", "第 {number} 行：规则超过 {name} 条"},
    {C::RulesUnknownKind, "RulesUnknownKind", "line {number}: unknown rule kind \"{name}\" (use replace, insert or append)",
     "第 {number} 行：未知的规则类型“{name}”（应为 replace、insert 或 append）"},
    {C::RulesFieldCount, "RulesFieldCount", "line {number}: {fields}", "第 {number} 行：{fields}"},
    {C::RulesEmptyText, "RulesEmptyText", "line {number}: {emptyText}", "第 {number} 行：{emptyText}"},
    {C::RulesBackslashAtEnd, "RulesBackslashAtEnd", "line {number}: a backslash ends the text (write \\\\ for a backslash)",
     "第 {number} 行：文本以反斜杠结尾（反斜杠本身写作 \\\\）"},
    {C::RulesUnknownEscape, "RulesUnknownEscape", "line {number}: unknown escape \\{name} (use \\t \\n \\r or \\\\)",
     "第 {number} 行：未知的转义 \\{name}（可用 \\t、\\n、\\r 或 \\\\）"},
    {C::RulesNotUtf8, "RulesNotUtf8", "line {number}: the text is not valid UTF-8", "第 {number} 行：文本不是有效的 UTF-8"},
    {C::TablesUnreadable, "TablesUnreadable", "the Chinese mapping tables {name} cannot be read: {error}",
     "无法读取汉字转换表 {name}：{error}"},
    {C::TablesDamaged, "TablesDamaged", "the Chinese mapping tables {name} are {tablesFault}",
     "汉字转换表 {name} {tablesFault}"},
    {C::BadInput, "BadInput", "{name}", "{name}"},
};
// clang-format on

const Reason& ReasonOf(StatusCode code)
{
    for (const Reason& reason : kReasons) {
        if (reason.code == code)
            return reason;
    }
    return kReasons[0];
}

// The system's reason in Chinese for the errors a conversion meets; others in the system's words.
std::string ChineseSystemError(int error)
{
    switch (error) {
    case ENOENT:
        return "文件或文件夹不存在";
    case EACCES:
        return "没有权限";
    case EPERM:
        return "不允许此操作";
    case ENOSPC:
        return "磁盘空间不足";
    case EDQUOT:
        return "超出磁盘配额";
    case EROFS:
        return "文件系统是只读的";
    case EIO:
        return "输入/输出错误";
    case ENAMETOOLONG:
        return "文件名太长";
    case EFBIG:
        return "文件太大";
    case EMLINK:
        return "链接太多";
    case EXDEV:
        return "不能跨文件系统";
    case ENOTDIR:
        return "路径中有一项不是文件夹";
    case EISDIR:
        return "是文件夹";
    case EEXIST:
        return "文件已存在";
    case EBUSY:
    case ETXTBSY:
        return "文件正在使用中";
    case ELOOP:
        return "符号链接的层数太多";
    case EMFILE:
    case ENFILE:
        return "打开的文件太多";
    case ENOMEM:
        return "内存不足";
    case EOPNOTSUPP:
        return "文件系统不支持此操作";
    default:
        return "系统错误 " + std::to_string(error) + "（" + SystemErrorText(error) + "）";
    }
}

std::string SystemErrorIn(int error, Language language)
{
    // 0: the program gave up, having found no free temporary name in a hundred tries.
    if (error == 0)
        return language == Language::Chinese ? "没有可用的临时文件名" : "no free temporary name";
    return language == Language::Chinese ? ChineseSystemError(error) : SystemErrorText(error);
}

// What a rules line of this kind lacks: its TAB-separated texts, or a text that is not empty.
std::string FieldsText(const std::string& kind, Language language)
{
    const bool replace = kind == "replace";
    if (language == Language::Chinese)
        return replace ? "replace 规则需要两段以 TAB 分隔的文本：replace<TAB>原文本<TAB>新文本"
                       : kind + " 规则需要一段以 TAB 分隔的文本：" + kind + "<TAB>文本";
    return replace ? "a replace rule needs two TAB-separated texts: replace<TAB>old<TAB>new"
                   : kind + " needs one TAB-separated text: " + kind + "<TAB>text";
}

std::string EmptyTextText(const std::string& kind, Language language)
{
    const bool replace = kind == "replace";
    if (language == Language::Chinese)
        return replace ? "replace 规则的原文本是空的" : kind + " 规则的文本是空的";
    return replace ? "the old text of a replace rule is empty" : "the text to " + kind + " is empty";
}

// What is wrong with a mapping tables file: `fault` is a MappingTablesFault.
std::string TablesFaultText(std::uint64_t fault, Language language)
{
    struct Phrase
    {
        std::string_view english;
        std::string_view chinese;
    };
    // clang-format off
    static constexpr Phrase kPhrases[] = {
        {"not a tables file (empty or not a regular file)", "不是转换表文件（是空的或不是普通文件）"},
        {"too short to be a tables file", "太短，不是转换表文件"},
        {"not a Veltran mapping tables file", "不是 Veltran 的转换表文件"},
        {"made for a machine of another byte order", "是为另一种字节序的机器生成的"},
        {"of another version of Veltran", "属于另一个版本的 Veltran"},
        {"cut short or damaged: a table lies outside the file", "不完整或已损坏：有一张表超出了文件末尾"},
        {"damaged: there are bytes after its last table", "已损坏：最后一张表之后还有多余的字节"},
        {"of another version of Veltran (its tables' layout differs)", "属于另一个版本的 Veltran（表的格式不同）"},
        {"damaged: a table's SHA-256 does not match", "已损坏：有一张表的 SHA-256 校验值不符"},
    };
    // clang-format on
    static_assert(std::size(kPhrases) == static_cast<std::size_t>(MappingTablesFault::DigestMismatch) + 1);
    const Phrase& phrase = kPhrases[std::min<std::uint64_t>(fault, std::size(kPhrases) - 1)];
    return std::string(language == Language::Chinese ? phrase.chinese : phrase.english);
}

std::string Filled(std::string_view sentence, const StatusContext& context, Language language)
{
    std::string text;
    for (std::size_t at = 0; at < sentence.size();) {
        const std::size_t open = sentence.find('{', at);
        const std::size_t close = open == std::string_view::npos ? open : sentence.find('}', open);
        if (close == std::string_view::npos) {
            text += sentence.substr(at);
            break;
        }
        text += sentence.substr(at, open - at);
        const std::string_view field = sentence.substr(open + 1, close - open - 1);
        if (field == "error")
            text += SystemErrorIn(context.systemError, language);
        else if (field == "number")
            text += std::to_string(context.number);
        else if (field == "encoding")
            text += EncodingName(static_cast<EncodingId>(context.encoding));
        else if (field == "name")
            text += context.name;
        else if (field == "refusal" && context.refusal)
            text += DescribeRefusal(*context.refusal, language);
        else if (field == "fields")
            text += FieldsText(context.name, language);
        else if (field == "emptyText")
            text += EmptyTextText(context.name, language);
        else if (field == "tablesFault")
            text += TablesFaultText(context.number, language);
        at = close + 1;
    }
    return text;
}

} // namespace

std::string ReasonText(StatusCode code, const StatusContext& context, Language language)
{
    const Reason& reason = ReasonOf(code);
    return Filled(language == Language::Chinese ? reason.chinese : reason.english, context, language);
}

std::string ReasonText(const Status& status, Language language)
{
    return language == Language::English ? status.message : ReasonText(status.code, status.context, language);
}

std::string_view CodeName(StatusCode code)
{
    return ReasonOf(code).name;
}

std::ostream& operator<<(std::ostream& out, StatusCode code)
{
    return out << CodeName(code);
}

Status Status::Failure(StatusCode failure, StatusContext context)
{
    assert(failure != StatusCode::Ok);
    Status status;
    status.code = failure;
    status.message = ReasonText(failure, context, Language::English);
    status.context = std::move(context);
    return status;
}

} // namespace veltran

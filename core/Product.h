#pragma once

#include <string>

namespace veltran {

/// The maker's name and home-page host, shown in the caption, the about text, the link label
/// and the header that the built-in charset rule inserts.
inline constexpr char16_t kMakerName[] = u"禾渡";
inline constexpr char16_t kMakerHost[] = u"veltran.example.org";
/// The host as the link label writes it, with capital initials.
inline constexpr char16_t kMakerHostCapitalised[] = u"Veltran.Example.Org";
/// "GB/BIG5/UTF-8 文件编码批量互转换工具", the product's name.
inline constexpr char16_t kProductName[] = u"GB/BIG5/UTF-8 文件编码批量互转换工具";
inline constexpr char16_t kProductVersionSuffix[] = u" V1.0";

/// "禾渡 <host>  GB/BIG5/UTF-8 文件编码批量互转换工具", with " V1.0" after it when `withVersion`:
/// the main window's caption, the about text's first line, the ownerless about box's title and the
/// comment of the built-in charset header.
std::u16string ProductLine(bool withVersion);

} // namespace veltran

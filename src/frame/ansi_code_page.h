#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tidora::frame {

// Windows ANSI code pages the settings file can be written in.
constexpr int kCodePageCyrillic = 1251;
constexpr int kCodePageWestern = 1252;
constexpr int kCodePageUtf8 = 65001;

bool isSupportedCodePage(int codePage);

// Any code page that is not supported is treated as 1252. Bytes the code page leaves undefined
// read as the C1 control of the same value, so every byte survives a read and a write.
QString decodeCodePage(QByteArrayView bytes, int codePage);
// A character the code page cannot hold becomes "?", as Windows writes it.
QByteArray encodeCodePage(QStringView text, int codePage);

}  // namespace tidora::frame

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include "platform/ansi_code_page.h"

namespace tidora::frame {

// Windows ANSI code pages the settings file can be written in.
using platform::isSupportedCodePage;
using platform::kCodePageCyrillic;
using platform::kCodePageUtf8;
using platform::kCodePageWestern;

// Qt-typed forms of the platform's code page conversions.
QString decodeCodePage(QByteArrayView bytes, int codePage);
QByteArray encodeCodePage(QStringView text, int codePage);

}  // namespace tidora::frame

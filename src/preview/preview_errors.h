#pragma once

#include "markup/terror.h"

// A page canvas or page picture could not be created or completed.
class EOutOfMemory : public TError
{
public:
    EOutOfMemory() : TError(QStringLiteral("There is not enough memory to create a new page")) {}
};

// A saved preview could not be read.
class EPreviewLoadError : public TError
{
public:
    EPreviewLoadError() : TError(QStringLiteral("The content cannot be loaded")) {}
};

// The pages cannot be written while they are being recorded, edited, loaded or exported.
class EPreviewSaveError : public TError
{
public:
    EPreviewSaveError() : TError(QStringLiteral("The content cannot be saved")) {}
};

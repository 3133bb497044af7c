#pragma once

#include <QtGlobal>

#include <array>

// Standard initial values of the Blowfish P-array and S-boxes (hexadecimal digits of pi).
extern const std::array<quint32, 18> Blowfish_Initial_PArray;
extern const std::array<quint32, 256> Blowfish_Initial_SBox1;
extern const std::array<quint32, 256> Blowfish_Initial_SBox2;
extern const std::array<quint32, 256> Blowfish_Initial_SBox3;
extern const std::array<quint32, 256> Blowfish_Initial_SBox4;

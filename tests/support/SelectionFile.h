#pragma once

#include <QByteArray>

#include <algorithm>
#include <initializer_list>

// SetMulti.INI serving the given device numbers: 99 lines "O" or "X", a TAB and no name.
inline QByteArray SelectionFileServing(std::initializer_list<int> served) {
    QByteArray file;
    for (int k = 1; k <= 99; ++k) {
        const bool on = std::find(served.begin(), served.end(), k) != served.end();
        file += (on ? "O" : "X") + QByteArray("\t\r\n");
    }
    return file;
}

#include "params/ParameterFields.h"

#include "app/Cp1251.h"

namespace nkq {

ParameterFields::ParameterFields()
    : RateCombo({"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}, 0),
      BitsCombo({"5", "6", "7", "8"}, 0),
      ParityCombo({Utf8ToCp1251("Нечет"), Utf8ToCp1251("Чет"), Utf8ToCp1251("Маркер (1)"),
                   Utf8ToCp1251("Пробел (0)")},
                  0),
      StopCombo({"1", "2"}, 0),
      FlowCombo({Utf8ToCp1251("Нет"), Utf8ToCp1251("Аппаратное"), "XON/XOFF"}, 0) {
    VersionEdit.SetEnabled(false);
}

}  // namespace nkq

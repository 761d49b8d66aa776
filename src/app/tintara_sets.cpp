#include "app/tintara.h"

void Tintara::FillColorCombo(const QString&) {}

void Tintara::ColorCmbo_Click() {}

void Tintara::AddBtn_Click() {}

void Tintara::SaveColor_Click() {}

void Tintara::DelList_Click() {}

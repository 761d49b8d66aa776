#include "app/tintara.h"

void Tintara::HTMLBtn_Click() {}

void Tintara::genhtml_Click() {}

void Tintara::copyf_Click() {}

void Tintara::copyb_Click() {}

void Tintara::About_Click() {}

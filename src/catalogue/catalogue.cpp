#include "catalogue/catalogue.h"

namespace pellucard {

QString CatalogueText(int) { return {}; }
bool CatalogueHas(int) { return false; }

}  // namespace pellucard

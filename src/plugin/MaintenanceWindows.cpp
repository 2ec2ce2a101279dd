#include "TMDIChild.h"
#include "TfrmCatalogueExchange.h"
#include "TfrmCatalogueHistory.h"
#include "TfrmCategorie.h"
#include "TfrmCheckSet.h"
#include "TfrmCombItem.h"
#include "TfrmItemEdit.h"
#include "TfrmSampleGroup.h"
#include "WindowRegistry.h"

namespace {

const TMDIChildClassInfo CheckSetClass{"TfrmCheckSet", &TMDIChild::Construct<TfrmCheckSet>};
const TMDIChildClassInfo CategorieClass{"TfrmCategorie", &TMDIChild::Construct<TfrmCategorie>};
const TMDIChildClassInfo CombItemClass{"TfrmCombItem", &TMDIChild::Construct<TfrmCombItem>};
const TMDIChildClassInfo ItemEditClass{"TfrmItemEdit", &TMDIChild::Construct<TfrmItemEdit>};
const TMDIChildClassInfo SampleGroupClass{"TfrmSampleGroup",
                                          &TMDIChild::Construct<TfrmSampleGroup>};
const TMDIChildClassInfo CatalogueExchangeClass{"TfrmCatalogueExchange",
                                                &TMDIChild::Construct<TfrmCatalogueExchange>};
const TMDIChildClassInfo CatalogueHistoryClass{"TfrmCatalogueHistory",
                                               &TMDIChild::Construct<TfrmCatalogueHistory>};

}  // namespace

// The maintenance windows in their registration order (check sets,
// categories, combination items, items, sample groups), then the catalogue
// exchange window, which works on all of them, and last the catalogue's
// change history.
void RegisterMaintenanceWindows(TRegisterClasses& registry) {
  RegisterMDIChildClass(registry, "", &CheckSetClass);
  RegisterMDIChildClass(registry, "", &CategorieClass);
  RegisterMDIChildClass(registry, "", &CombItemClass);
  RegisterMDIChildClass(registry, "", &ItemEditClass);
  RegisterMDIChildClass(registry, "", &SampleGroupClass);
  RegisterMDIChildClass(registry, "", &CatalogueExchangeClass);
  RegisterMDIChildClass(registry, "", &CatalogueHistoryClass);
}

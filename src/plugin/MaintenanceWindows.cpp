#include "TMDIChild.h"
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
const TMDIChildClassInfo CatalogueHistoryClass{"TfrmCatalogueHistory",
                                               &TMDIChild::Construct<TfrmCatalogueHistory>};

}  // namespace

// The maintenance windows in their registration order (check sets,
// categories, combination items, items, sample groups, then the
// catalogue's change history, which is about all of them). Each window joins
// the list in its place once it is built.
void RegisterMaintenanceWindows(TRegisterClasses& registry) {
  RegisterMDIChildClass(registry, "", &CheckSetClass);
  RegisterMDIChildClass(registry, "", &CategorieClass);
  RegisterMDIChildClass(registry, "", &CombItemClass);
  RegisterMDIChildClass(registry, "", &ItemEditClass);
  RegisterMDIChildClass(registry, "", &SampleGroupClass);
  RegisterMDIChildClass(registry, "", &CatalogueHistoryClass);
}

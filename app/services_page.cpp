// The services page (系统服务列表, 标签4, 组合框1, 按钮28).
#include "app/handlers.h"
#include "scan/services.h"

void OnServicesRefresh(MainControls& c) { ScanServices(c.系统服务列表); }
void OnServiceRowChanged(MainControls& c) { ShowServiceDetails(c.系统服务列表, c.标签4, c.组合框1); }
void OnServiceStartChosen(MainControls& c) { ChangeServiceStart(c.系统服务列表, c.组合框1); }

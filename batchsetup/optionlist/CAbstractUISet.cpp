#include "CAbstractUISet.h"

CAbstractUISet::CAbstractUISet(QObject* parent) : QObject(parent) {}

CAbstractUISet::~CAbstractUISet() = default;

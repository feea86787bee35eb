#pragma once
// Hands the magic item table and its deal to the front end (its quick battle and spell box).
void InstallMagicItemsHandOver();

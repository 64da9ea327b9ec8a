-- What the kit's installer needs beyond what wixl writes, run by make-packages
-- through msibuild on the built package, one statement a line (lines that
-- begin with "--" are comments).
--
-- orvosvr.cfg: never overwritten once there (128), and never removed by the
-- installer itself (16): the service's custom action removes it at an
-- uninstall when it holds only what the installer put there.
UPDATE `Component` SET `Attributes` = 400 WHERE `Component` = 'OrvosvrConfig'
-- The install folder at the end of the system's PATH ("=-*": set at install,
-- removed at uninstall, for the machine; "[~];" appends).
CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE, `Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)
INSERT INTO `Environment` (`Environment`, `Name`, `Value`, `Component_`) VALUES ('KitPath', '=-*PATH', '[~];[INSTALLDIR]', 'Orvosvr')
INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveEnvironmentStrings', 3300)
INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteEnvironmentStrings', 5200)
-- The service (setup_actions.cpp): a DLL in the Binary table, run deferred
-- (1024) as the local system (2048); type 51 actions hand each its data.
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('SetRemoveKitService', 51, 'RemoveKitService', '[INSTALLDIR]|[UPGRADINGPRODUCTCODE]')
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('RemoveKitService', 3073, 'KitSetup', 'RemoveKitService')
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('SetInstallKitService', 51, 'InstallKitService', '[INSTALLDIR]|[GYRIONPATH]|[WIX_UPGRADE_DETECTED]')
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('InstallKitService', 3073, 'KitSetup', 'InstallKitService')
-- A GYRIONPATH without a game server is refused before anything is installed
-- (an immediate DLL action, 1).
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('CheckGamePath', 1, 'KitSetup', 'CheckGamePath')
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('CheckGamePath', 'GYRIONPATH AND NOT REMOVE="ALL"', 1010)
-- The service stops before the files go, and starts once they are all there.
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('SetRemoveKitService', 'REMOVE="ALL"', 1690)
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('RemoveKitService', 'REMOVE="ALL"', 1700)
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('SetInstallKitService', 'NOT REMOVE="ALL"', 6490)
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('InstallKitService', 'NOT REMOVE="ALL"', 6500)
-- GYRIONPATH reaches the server side of an installation with a user interface.
UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;GYRIONPATH' WHERE `Property` = 'SecureCustomProperties'

#!/usr/bin/env python3
"""Writes lang/zul_French.ini, the French language file, as UTF-16 with its
byte-order mark (the profile functions then read every accent as it is).
The keys are those the translator's mode writes: dialog and control ids,
string ids; the values were translated by hand."""
import os

FRENCH = {
    # The preferences dialog and its pages (captions and tree labels).
    23000: "Préférences de ZUL", 1: "OK", 2: "Annuler", 23102: "Appliquer",
    23010: "Général", 23011: "Clics souris", 23012: "Raccourcis", 23013: "W2FILE",
    23014: "Apparence", 23015: "Infobulle", 23016: "Habillages", 23017: "Plugins",
    23018: "Entrée", 23019: "Sortie", 23020: "Généraux",
    # General.
    23110: "Options", 23111: "Barre dégradée du menu", 23112: "Boutons graphiques du menu",
    23113: "Aspect XP", 23114: "Sous-menu Pistes", 23115: "Sous-menu Album",
    23116: "Lecture automatique", 23117: "Sous-menu préc./suiv.", 23118: "Émuler Winamp",
    23119: "Mise à jour au démarrage", 23120: "Habillage", 23121: "Pistes par colonne :",
    23124: "Langue :", 23126: "Réglages", 23127: "Types de fichiers :",
    23129: "Menu des dossiers :", 23130: "Lire", 23131: "Ajouter",
    23132: "Ajouter à la liste par défaut",
    # Mouse clicks.
    23163: "Bouton gauche", 23164: "Bouton droit", 23160: "Appui long :", 23162: "Pas de clics",
    # Hotkeys.
    23230: "Lecture - Arrêt", 23231: "Précédent - Suivant", 23232: "Arrière - Avant",
    23233: "Volume -/+", 23234: "Fichier/dossier/URL", 23235: "MiniBar", 23236: "Liste",
    23237: "Égaliseur", 23238: "Infos MP3", 23239: "Répétition", 23240: "Aléatoire",
    23241: "Mode album", 23242: "Menu/pistes/album", 23243: "Automatisation",
    23244: "Titre en cours", 23245: "Icône de la barre", 23246: "Quitter",
    # W2FILE.
    23260: "Activer W2FILE", 23261: "Fichier :", 23263: "Parcourir", 23281: "Conversion OEM",
    23282: "Supprimer en quittant", 23265: "Envoi par FTP", 23264: "Activer le FTP",
    23266: "Site :", 23268: "Utilisateur :", 23270: "Mot de passe :", 23272: "Lecture :",
    23274: "Pause :", 23276: "Arrêt :", 23278: "Sortie :",
    23280: "Formats :\\n%1 artiste, %2 titre, %3 album, %4 année, %5 commentaire, %6 durée, "
           "%7 fichier, %8 lecteur, %9 dossier",
    # Apparence.
    23290: "Début du dégradé", 23292: "Fin du dégradé", 23294: "Dégradé dans le menu",
    23295: "Dégradé sur la sélection", 23296: "Afficher l'infobulle", 23297: "Aperçu",
    23298: "Contenu de l'infobulle :",
    # Tooltip.
    23300: "Effet de fond :", 23302: "Thème", 23303: "Type :", 23305: "Début :", 23307: "Milieu :",
    23309: "Fin :", 23311: "Granularité :", 23313: "Transparence :", 23315: "Bordure",
    23316: "Afficher la bordure", 23317: "Couleur de fin du thème", 23318: "Couleur choisie",
    23320: "Largeur :", 23322: "Hauteur :", 23324: "Minuteries", 23325: "Afficher après",
    23327: "Masquer après", 23329: "Fondu entrant", 23331: "Fondu sortant", 23333: "Pas d'animation",
    # Skins.
    23340: "Dossier :", 23342: "Parcourir", 23343: "Inclure les sous-dossiers",
    23344: "Changer à chaque piste", 23345: "Habillage au hasard", 23347: "Retirer de la liste",
    23348: "Habillage par défaut", 23349: "Enregistrer", 23350: "Aperçu",
    # Plugins.
    23360: "Dossier des plugins", 23362: "Parcourir", 23364: "Tout charger", 23365: "Charger",
    23366: "Windows Messenger", 23367: "Activer", 23368: "Titre", 23370: "Icône", 23372: "Vitesse",
    23374: "Sans défilement", 23375: "Vers la gauche", 23376: "Vers la droite",
    23381: "Monter", 23382: "Descendre", 23383: "Charger", 23384: "Décharger",
    23385: "Configuration", 23386: "À propos", 23387: "Pause entre pistes :",
    # Advanced Settings.
    23021: "Réglages avancés", 23401: "Valeur :", 23403: "Fixer", 23404: "Défaut",
    23950: "Réglage", 23951: "Type", 23952: "Défaut", 23953: "Valeur",
    # Messages and lists.
    20: "Au moins un clic doit ouvrir le « Menu principal » !",
    32: "(rien)", 33: "Lecture / Pause", 34: "Arrêt / Lecture", 35: "Précédent", 36: "Suivant",
    37: "Pistes", 38: "MiniBar", 39: "Liste", 40: "Égaliseur", 41: "Infos MP3",
    42: "Menu principal", 43: "Pistes de l'album",
    46: "Lire avec ZUL", 47: "Ajouter à la liste", 48: "Audio MP3", 49: "Ajouter", 50: "Ouvrir",
    51: "Liste M3U", 52: "Audio MP3 RIFF WAV",
    23900: "Un raccourci ne peut servir qu'à une seule action !",
    23901: "Le programme doit redémarrer pour appliquer les changements.",
    23910: "Défaut", 23911: "Standard", 23912: "Argent", 23913: "Bouton", 23914: "Exotique",
    23915: "Aqua", 23916: "Chrome", 23917: "Or", 23918: "Soleil", 23919: "Jungle", 23920: "Ciel",
    23921: "Feu", 23930: "(rien)", 23931: "Position", 23932: "Volume",
    23940: "Valeur refusée pour le réglage :",
}

lines = ["[Translation]"] + [f"{k}={v}" for k, v in sorted(FRENCH.items())]
out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "zul_French.ini")
with open(out, "wb") as f:
    f.write("\r\n".join(lines + [""]).encode("utf-16"))

/* The registers of the EZ-USB AN21xx that the board firmware uses. The USB
 * and port registers live in XDATA at 0x7Bxx-0x7Fxx; every pin access is a
 * MOVX. */
#ifndef HALVIK_EZUSB_H
#define HALVIK_EZUSB_H

#include <8051.h>

#define XREG(name, addr) __xdata volatile __at(addr) unsigned char name

/* Endpoint buffers (64 bytes each). */
__xdata volatile __at(0x7F00) unsigned char IN0BUF[64];
__xdata volatile __at(0x7E00) unsigned char IN2BUF[64];
__xdata volatile __at(0x7E40) unsigned char OUT1BUF[64];
__xdata volatile __at(0x7FE8) unsigned char SETUPDAT[8];

XREG(CPUCS, 0x7F92);
XREG(PORTACFG, 0x7F93);
XREG(PORTBCFG, 0x7F94);
XREG(PORTCCFG, 0x7F95);
XREG(OUTA, 0x7F96);
XREG(OUTB, 0x7F97);
XREG(OUTC, 0x7F98);
XREG(PINSA, 0x7F99);
XREG(PINSB, 0x7F9A);
XREG(PINSC, 0x7F9B);
XREG(OEA, 0x7F9C);
XREG(OEB, 0x7F9D);
XREG(OEC, 0x7F9E);
XREG(ISOCTL, 0x7FA1);
XREG(USBIRQ, 0x7FAB);
XREG(USBIEN, 0x7FAE);
XREG(EP0CS, 0x7FB4);
XREG(IN0BC, 0x7FB5);
XREG(IN1CS, 0x7FB6);
XREG(IN2CS, 0x7FB8);
XREG(IN2BC, 0x7FB9);
XREG(OUT0BC, 0x7FC5);
XREG(OUT1CS, 0x7FC6);
XREG(OUT1BC, 0x7FC7);
XREG(SUDPTRH, 0x7FD4);
XREG(SUDPTRL, 0x7FD5);
XREG(USBCS, 0x7FD6);
XREG(TOGCTL, 0x7FD7);
XREG(USBPAIR, 0x7FDD);
XREG(IN07VAL, 0x7FDE);
XREG(OUT07VAL, 0x7FDF);
XREG(INISOVAL, 0x7FE0);
XREG(OUTISOVAL, 0x7FE1);

__sfr __at(0x8E) CKCON;

/* EP0CS */
#define EP0STALL 0x01
#define HSNAK 0x02
/* INnCS / OUTnCS */
#define EPSTALL 0x01
#define EPBSY 0x02
/* USBIRQ (write 1 to clear) */
#define SUDAVIR 0x01
#define URESIR 0x10
/* USBCS */
#define RENUM 0x02
#define DISCOE 0x04
#define DISCON 0x08
/* ISOCTL */
#define ISODISAB 0x01

#endif
